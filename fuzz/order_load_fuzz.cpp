// Any bytes as a saved order, loaded through the main screen's "ロード" as a customer would:
// the file is either taken whole or refused with the order in memory untouched. A taken order
// is written back exactly as it reads, and every screen and both statements take it.
#include "app/files/order_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::PutFile("order.SAV", data, size);
    fuzz::Program program;
    const std::string before = OrderFileBytes();
    const bool readable = ParseOrderFile(std::string(reinterpret_cast<const char*>(data), size)).content.has_value();

    program.Answers(1);  // the message of a refused file
    program.platform.QueueFileChoice(path);
    program.Click(BUTTON4);
    if (!readable) {
        fuzz::Check(OrderFileBytes() == before, "a refused file changed the order");
        return 0;
    }
    // Written and read again, a taken order is the same order, and a save does not refuse it.
    fuzz::Check(!WhyOrderCannotBeWritten(), "a taken order is refused a save");
    const std::string taken = OrderFileBytes();
    const OrderFileRead again = ParseOrderFile(taken);
    fuzz::Check(again.content.has_value(), "the order written back cannot be read");
    TakeOverOrder(*again.content);
    fuzz::Check(OrderFileBytes() == taken, "the order written back reads as another order");

    program.VisitEverything();
    return 0;
}
