// Any bytes as a form resource, played as the program plays its forms: a resource the player
// rejects is told ("PlayScript") and ends in its runtime error, as a broken resource of the
// program would; anything else it plays, and every control of it can be found by its name. A
// form the reader accepts is written back by the writer into bytes that read the same again.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "runtime/forms/form_resource.h"

namespace {

bool Rejected(int code) { return code == 1014 || code == 7 || code == 27; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const rt::DecodeResult decoded = rt::DecodeForm(bytes);
    if (decoded.form) {
        const std::vector<uint8_t> written = rt::EncodeForm(*decoded.form);
        const rt::DecodeResult again = rt::DecodeForm(written);
        fuzz::Check(again.form.has_value(), "the writer's bytes are refused by the reader");
        fuzz::Check(rt::EncodeForm(*again.form) == written, "the writer's bytes read as another form");
    }

    rt::HeadlessPlatform platform;
    platform.QueueAnswer(rt::Answer::Ok);  // the player's "PlayScript" message
    rt::SetPlatform(&platform);
    rt::StartWindowLayer(platform);
    rt::RegisterFormResource("FUZZFORM", std::vector<uint8_t>(bytes.begin(), bytes.end()));
    Obj form;
    try {
        FormLoad(form, "FUZZFORM", -1);
        const std::vector<rt::ControlInfo> windows = rt::FormWindows(rt::FindForm("FUZZFORM").value_or(-1));
        for (const rt::ControlInfo& c : windows) {
            // Names the program can ask for; a longer one is the asking code's fault.
            if (c.window == rt::WindowOf(form) || c.name.empty() || c.name.size() > 21) continue;
            const rt::WinHandle w = FormControl(form, Text(c.name));
            fuzz::Check(platform.Exists(w), "a played control's name finds no window");
        }
    } catch (const rt::RuntimeError& e) {
        if (!Rejected(e.code) || !decoded.error)
            fuzz::Finding("runtime error " + std::to_string(e.code) + " at line " + std::to_string(e.line) +
                          " of " + e.file);
    } catch (const rt::NoAnswerQueued& e) {
        fuzz::Finding(e.what());
    }
    rt::ResetWindowLayer();
    rt::SetPlatform(nullptr);
    return 0;
}
