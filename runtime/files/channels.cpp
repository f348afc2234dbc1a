// The file channels 1 to 255: a text file opened on a channel to be read whole or made new, items
// written and lines and fields read, and every failure raised as the runtime error that ends the
// program.
#include "runtime/files/channels.h"

#include <array>
#include <cerrno>
#include <memory>

#include "runtime/files/system_files.h"
#include "runtime/files/text_reader.h"
#include "runtime/files/whole_file.h"

namespace {

struct Channel {
    ChannelMode mode = ChannelMode::Input;
    std::string systemPath;  // absolute, UTF-8
    rt::FileIdentity identity;  // the file itself, however a later name spells it
    rt::SystemFile file = rt::kNoFile;  // output only
    Int32 column = 0;        // of the output line, in bytes
    rt::TextReader reader;   // input only: the whole file, its read position and size
};

std::array<std::unique_ptr<Channel>, kLastChannel + 1>& Table() {
    static std::array<std::unique_ptr<Channel>, kLastChannel + 1> table;
    return table;
}

void CheckNumber(Int32 channel, Here here) {
    if (channel < kFirstChannel || channel > kLastChannel) RaiseError(50, here);
}

Channel& OpenChannel(Int32 channel, ChannelMode mode, Here here) {
    CheckNumber(channel, here);
    Channel* c = Table()[static_cast<size_t>(channel)].get();
    if (!c) RaiseError(57, here);
    if (c->mode != mode) RaiseError(51, here);
    return *c;
}

void RaiseRead(rt::ReadStatus status, Here here) {
    if (status != rt::ReadStatus::Ok) RaiseError(static_cast<int>(status), here);
}

void Write(Channel& c, const std::string& bytes, Here here) {
    if (int err = rt::WriteToFile(c.file, bytes.data(), bytes.size()); err != 0)
        RaiseError(rt::ErrorCodeFromErrno(err), here);
}

// Frees the channel first, so that a failing close does not leave it half open.
int Close(Int32 channel) {
    std::unique_ptr<Channel> c = std::move(Table()[static_cast<size_t>(channel)]);
    if (!c || c->file == rt::kNoFile) return 0;
    return rt::CloseFile(c->file);
}

// A name is refused as the system would refuse it: a path beyond the system's limits, like any
// name it cannot take, raises 55.
std::string SystemPathOrRaise(const Text& name, Here here) {
    std::string path;
    if (int err = rt::MakeSystemPath(name, path); err != 0) RaiseError(rt::ErrorCodeFromErrno(err), here);
    return path;
}

}  // namespace

void ChannelOpen(const Text& name, Int32 mode, Int32 channel, Here here) {
    CheckNumber(channel, here);
    if (mode != static_cast<Int32>(ChannelMode::Input) && mode != static_cast<Int32>(ChannelMode::Output))
        RaiseError(51, here);
    if (Table()[static_cast<size_t>(channel)]) RaiseError(52, here);
    auto c = std::make_unique<Channel>();
    c->mode = static_cast<ChannelMode>(mode);
    c->systemPath = SystemPathOrRaise(name, here);
    if (c->mode == ChannelMode::Input) {
        std::string bytes;
        rt::FileResult r = rt::ReadSystemFile(c->systemPath, name, bytes);
        if (!r.ok) RaiseError(r.code, here);
        c->reader = rt::TextReader(std::move(bytes));
        const std::optional<rt::FileIdentity> identity = rt::IdentityOf(c->systemPath);
        if (!identity) RaiseError(rt::ErrorCodeFromErrno(errno), here);
        c->identity = *identity;
    } else {
        // Only a new file: the program never overwrites a file it did not make in this run.
        if (int err = rt::CreateNewFile(c->systemPath, c->file); err != 0)
            RaiseError(rt::ErrorCodeFromErrno(err, rt::FileStep::Opening), here);
        c->identity = rt::IdentityOf(c->file);
    }
    Table()[static_cast<size_t>(channel)] = std::move(c);
}

void ChannelClose(Here here) {
    int failure = 0;
    for (Int32 channel = kFirstChannel; channel <= kLastChannel; ++channel)
        if (int err = Close(channel); err != 0 && failure == 0) failure = err;
    if (failure != 0) RaiseError(rt::ErrorCodeFromErrno(failure), here);
}

void ChannelClose(std::initializer_list<Int32> channels, Here here) {
    for (Int32 channel : channels) CheckNumber(channel, here);
    int failure = 0;
    for (Int32 channel : channels)
        if (int err = Close(channel); err != 0 && failure == 0) failure = err;
    if (failure != 0) RaiseError(rt::ErrorCodeFromErrno(failure), here);
}

void PrintItem(Int32 channel, const Text& text, Int32 separator, Here here) {
    Channel& c = OpenChannel(channel, ChannelMode::Output, here);
    if (separator < 0 || separator > 2) RaiseError(5, here);
    std::string out = text.bytes();
    c.column += static_cast<Int32>(text.size());
    switch (static_cast<PrintSeparator>(separator)) {
        case PrintSeparator::LineEnd:
            out += "\r\n";
            c.column = 0;
            break;
        case PrintSeparator::NextZone: {
            // A file has no line width, so the next zone is always on the same line.
            Int32 blanks = kPrintZoneWidth - c.column % kPrintZoneWidth;
            out.append(static_cast<size_t>(blanks), ' ');
            c.column += blanks;
            break;
        }
        case PrintSeparator::None: break;
    }
    Write(c, out, here);
}

Text LineInput(Int32 channel, Here here) {
    Channel& c = OpenChannel(channel, ChannelMode::Input, here);
    Text line;
    RaiseRead(c.reader.Line(line), here);
    return line;
}

void FieldTarget::StoreNumber(double value, Here here) const {
    switch (kind_) {
        case Kind::Int16: *int16_ = Int16(value, here); break;
        case Kind::Single: *single_ = StoreSingle(value, here); break;
        case Kind::Double: *double_ = value; break;
        case Kind::Text: break;
    }
}

void FieldInput(Int32 channel, std::initializer_list<FieldTarget> variables, Here here) {
    Channel& c = OpenChannel(channel, ChannelMode::Input, here);
    for (const FieldTarget& v : variables) {
        if (v.IsText()) {
            Text field;
            RaiseRead(c.reader.Field(field), here);
            v.StoreText(std::move(field));
        } else {
            double value = 0;
            RaiseRead(c.reader.NumberField(value), here);
            v.StoreNumber(value, here);
        }
    }
}

Int32 AtEnd(Int32 channel, Here here) {
    Channel& c = OpenChannel(channel, ChannelMode::Input, here);
    return c.reader.AtEnd() ? -1 : 0;
}

Int32 FileExists(const Text& name, Here here) {
    if (rt::HasWildcard(name)) RaiseError(55, here);
    // Any other name the program cannot give names no file it could have made.
    std::string path;
    if (rt::MakeSystemPath(name, path) != 0) return 0;
    return rt::IsFile(path) ? -1 : 0;
}

void FileDelete(const Text& name, Here here) {
    std::string path = SystemPathOrRaise(name, here);
    if (const std::optional<rt::FileIdentity> identity = rt::IdentityOf(path)) {
        for (const auto& c : Table())
            if (c && c->identity == *identity) RaiseError(52, here);
    }
    if (int err = rt::RemoveFile(path); err != 0) RaiseError(rt::ErrorCodeFromErrno(err), here);
}

namespace rt {

void CloseAllChannels() {
    for (Int32 channel = kFirstChannel; channel <= kLastChannel; ++channel) Close(channel);
}

}  // namespace rt
