#pragma once
// Arrays with declared upper bounds: indices 0..upper in every dimension. An array used before
// it is declared springs into being as 0..10 in each dimension, as the program's language does.
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "runtime/values/error.h"
#include "runtime/values/values.h"

// An index as the program writes it: an integer, or a floating value rounded half away from zero.
struct Index {
    Int32 value;
    Index(int v) : value(v) {}  // NOLINT(google-explicit-constructor)
    Index(long v, Here here = Here::current()) : value(RoundToInteger(static_cast<double>(v), here)) {}  // NOLINT
    Index(Int16 v) : value(v) {}  // NOLINT(google-explicit-constructor)
    Index(double v, Here here = Here::current()) : value(RoundToInteger(v, here)) {}  // NOLINT
    Index(float v, Here here = Here::current()) : value(RoundToInteger(v, here)) {}  // NOLINT
};

template <class T>
class Array {
public:
    static constexpr int64_t kMaxUpper = 2147483646;
    static constexpr Int32 kImplicitUpper = 10;

    Array() = default;
    // Declared at construction, as the program's globals are.
    explicit Array(std::initializer_list<int64_t> uppers) { Declare(uppers); }

    void Declare(std::initializer_list<int64_t> uppers, Here here = Here::current()) {
        if (allocated_) RaiseError(10, here);
        std::vector<Int32> u;
        size_t total = 1;
        for (int64_t up : uppers) {
            if (up > kMaxUpper || up < 0) RaiseError(5, here);
            u.push_back(static_cast<Int32>(up));
            total *= static_cast<size_t>(up) + 1;
        }
        upper_ = std::move(u);
        Allocate(total, here);
        allocated_ = true;
    }

    void Erase(Here here = Here::current()) {
        if (!allocated_) RaiseError(5, here);
        data_.clear();
        data_.shrink_to_fit();
        upper_.clear();
        allocated_ = false;
    }

    bool allocated() const { return allocated_; }
    Int32 upper(size_t dim) const { return upper_.at(dim); }

    T& operator()(Index i, Here here = Here::current()) { return Element({i.value}, here); }
    T& operator()(Index i, Index j, Here here = Here::current()) { return Element({i.value, j.value}, here); }
    const T& operator()(Index i, Here here = Here::current()) const { return Mutable().Element({i.value}, here); }
    const T& operator()(Index i, Index j, Here here = Here::current()) const {
        return Mutable().Element({i.value, j.value}, here);
    }

private:
    Array& Mutable() const { return const_cast<Array&>(*this); }

    T& Element(std::initializer_list<Int32> idx, Here here) {
        if (!allocated_) {
            std::vector<int64_t> u(idx.size(), kImplicitUpper);
            upper_.assign(u.begin(), u.end());
            size_t total = 1;
            for (size_t d = 0; d < idx.size(); ++d) total *= kImplicitUpper + 1;
            Allocate(total, here);
            allocated_ = true;
        }
        if (idx.size() != upper_.size()) RaiseError(5, here);
        size_t offset = 0;
        size_t d = 0;
        for (Int32 i : idx) {
            if (i < 0 || i > upper_[d]) RaiseError(9, here);
            offset = offset * (static_cast<size_t>(upper_[d]) + 1) + static_cast<size_t>(i);
            ++d;
        }
        return data_[offset];
    }

    // An array too large for the memory there is is the program's out-of-memory error, with its
    // report, not an exception that ends the program unannounced.
    void Allocate(size_t total, Here here) {
        try {
            data_.assign(total, T{});
        } catch (const std::bad_alloc&) {
            upper_.clear();
            RaiseError(7, here);
        } catch (const std::length_error&) {
            upper_.clear();
            RaiseError(7, here);
        }
    }

    std::vector<Int32> upper_;
    std::vector<T> data_;
    bool allocated_ = false;
};
