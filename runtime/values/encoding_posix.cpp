// The system's conversion between code page 932 and UTF-8 on POSIX systems: glibc's iconv,
// whose "CP932" is the code page as Windows maps it (〜 is U+FF5E, － U+FF0D, ∥ U+2225), so the
// same bytes become the same characters on both systems.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

#include "runtime/values/code_page.h"

namespace rt::cp932 {
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

    bool Run(std::string_view in, std::string& out, const OnBad& onBad, size_t (*badLength)(std::string_view)) {
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
                if (!onBad || !onBad(out)) return false;
                // Skip the offending input and go on.
                const size_t skip = badLength ? std::max<size_t>(1, badLength({src, left})) : 1;
                src += skip;
                left -= skip;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return true;
    }

private:
    iconv_t cd_;
    std::mutex mutex_;
};

}  // namespace

bool ToUtf8(std::string_view sjis, std::string& out, const OnBad& onBad) {
    static Converter c("UTF-8", "CP932");
    return c.Run(sjis, out, onBad, nullptr);
}

bool FromUtf8(std::string_view utf8, std::string& out, const OnBad& onBad, size_t (*badLength)(std::string_view)) {
    static Converter c("CP932", "UTF-8");
    return c.Run(utf8, out, onBad, badLength);
}

}  // namespace rt::cp932
