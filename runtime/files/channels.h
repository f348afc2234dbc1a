#pragma once
// The program's file channels: numbered 1 to 255, each free or bound to one open text file,
// read sequentially or written as a new file. Every failure raises the runtime error that ends
// the program, as the program has always expected of its file statements.
#include <initializer_list>

#include "runtime/files/file_names.h"
#include "runtime/values/text.h"

enum class ChannelMode : Int32 { Input = 1, Output = 2 };

inline constexpr Int32 kFirstChannel = 1;
inline constexpr Int32 kLastChannel = 255;

// Binds the channel to the file. Input: the file must exist and is read whole at once (the
// program's files are small). Output: the file must not exist yet; it is made new.
void ChannelOpen(const Text& name, Int32 mode, Int32 channel, Here here = Here::current());

// Closes every open channel.
void ChannelClose(Here here = Here::current());
// Closes the listed channels; one that is not open is passed over.
void ChannelClose(std::initializer_list<Int32> channels, Here here = Here::current());

// What follows an item written to a channel.
enum class PrintSeparator : Int32 {
    LineEnd = 0,  // CR LF, the column back to 0
    NextZone = 1,  // blanks up to the next multiple of kPrintZoneWidth columns
    None = 2,
};
inline constexpr Int32 kPrintZoneWidth = 14;

// Appends the text to the channel's current line, then the separator (a PrintSeparator value;
// any other raises 5).
void PrintItem(Int32 channel, const Text& text, Int32 separator, Here here = Here::current());

// The next line of an input channel (the rules of rt::TextReader::Line).
Text LineInput(Int32 channel, Here here = Here::current());

// A variable that receives one field: a text takes the field's bytes, a number its value.
class FieldTarget {
public:
    FieldTarget(Text& v) : kind_(Kind::Text), text_(&v) {}      // NOLINT(google-explicit-constructor)
    FieldTarget(Int16& v) : kind_(Kind::Int16), int16_(&v) {}   // NOLINT(google-explicit-constructor)
    FieldTarget(Single& v) : kind_(Kind::Single), single_(&v) {}  // NOLINT(google-explicit-constructor)
    FieldTarget(Double& v) : kind_(Kind::Double), double_(&v) {}  // NOLINT(google-explicit-constructor)

    bool IsText() const { return kind_ == Kind::Text; }
    void StoreText(Text value) const { *text_ = std::move(value); }
    void StoreNumber(double value, Here here) const;

private:
    enum class Kind { Text, Int16, Single, Double } kind_;
    union {
        Text* text_;
        Int16* int16_;
        Single* single_;
        Double* double_;
    };
};

// Reads one field into each variable in turn: FieldInput(1, {name, count, price}).
void FieldInput(Int32 channel, std::initializer_list<FieldTarget> variables, Here here = Here::current());

// −1 when an input channel has nothing left to read (or only a final Ctrl-Z), else 0.
Int32 AtEnd(Int32 channel, Here here = Here::current());

// −1 when a file (not a folder) of that name exists, else 0.
Int32 FileExists(const Text& name, Here here = Here::current());

// Deletes the file; a file open on a channel is refused.
void FileDelete(const Text& name, Here here = Here::current());

namespace rt {
// Closes every channel without raising; the end of the program calls it, whatever ended it.
void CloseAllChannels();
}  // namespace rt
