#include "runtime/values/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace rt {
namespace {

// One converter per direction, opened once; iconv descriptors are not shared between threads,
// and the program has one thread, but the lock keeps tests and tools honest.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as far as possible. On an invalid sequence calls onBad(skippedBytes&) which may
    // append a replacement; returns false when onBad is null.
    template <class OnBad>
    bool Run(std::string_view in, std::string& out, OnBad onBad) {
        std::lock_guard lock(mutex_);
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        char buf[1024];
        while (left > 0) {
            char* dst = buf;
            size_t room = sizeof buf;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                if (!onBad(out)) return false;
                // Skip one byte of the offending input and go on.
                ++src;
                --left;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return true;
    }

private:
    iconv_t cd_;
    std::mutex mutex_;
};

Converter& ToUtf8() {
    static Converter c("UTF-8", "CP932");
    return c;
}
Converter& ToSjis() {
    static Converter c("CP932", "UTF-8");
    return c;
}

}  // namespace

std::optional<std::string> SjisToUtf8(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    if (!ToUtf8().Run(sjis, out, [](std::string&) { return false; })) return std::nullopt;
    return out;
}

std::string SjisToUtf8Lossy(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    ToUtf8().Run(sjis, out, [](std::string& o) {
        o += "\xEF\xBF\xBD";
        return true;
    });
    return out;
}

std::optional<std::string> Utf8ToSjis(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    if (!ToSjis().Run(utf8, out, [](std::string&) { return false; })) return std::nullopt;
    return out;
}

}  // namespace rt
