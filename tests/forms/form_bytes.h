#pragma once
// Form resources written byte by byte, so that the reader is tested against the layout itself
// rather than against our writer.
#include <cstdint>
#include <string_view>
#include <vector>

namespace formtest {

class Bytes {
public:
    Bytes& U16(uint16_t v) {
        b_.push_back(static_cast<uint8_t>(v));
        b_.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Bytes& I16(int16_t v) { return U16(static_cast<uint16_t>(v)); }
    Bytes& U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
    Bytes& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    Bytes& Text(std::string_view s) {
        b_.insert(b_.end(), s.begin(), s.end());
        b_.push_back(0);
        return *this;
    }
    Bytes& Append(const Bytes& other) {
        b_.insert(b_.end(), other.b_.begin(), other.b_.end());
        return *this;
    }
    Bytes& Create(int32_t kind, uint32_t style = 0) { return U16(112).I32(kind).U32(style).U32(0); }

    size_t size() const { return b_.size(); }
    const std::vector<uint8_t>& bytes() const { return b_; }

private:
    std::vector<uint8_t> b_;
};

// The smallest resource the reader accepts: a form named F with `formRecords` after its
// creation and `controlRecords` inside its tag 1.
inline Bytes MinimalForm(const Bytes& formRecords = {}, const Bytes& controlRecords = {}) {
    Bytes b;
    b.U16('K' | 'Q' << 8).U16(1).U16(1);
    b.U16(9).Text("F").Text("");
    b.Create(0, 0x00c00115);
    b.Append(formRecords);
    b.U16(1).Append(controlRecords).U16(2);
    b.U16(2);
    return b;
}

// Where MinimalForm puts the first byte of formRecords and of controlRecords.
inline size_t FormRecordsOffset() { return 6 + 2 + 2 + 1 + 14; }
inline size_t ControlRecordsOffset(const Bytes& formRecords) { return FormRecordsOffset() + formRecords.size() + 2; }

}  // namespace formtest
