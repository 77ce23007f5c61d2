// A growable array of records stored in chunks. A drawing can hold millions
// of entities of one kind; growing in chunks never moves or copies the
// records already read, so a load needs little more memory than the records
// themselves, and references to records stay valid while more are appended.
// Chunks double from one record up to 4096 and then stay at 4096, so the many
// small member arrays of block definitions stay small too.
#pragma once

#include <bit>
#include <cstddef>
#include <iterator>
#include <memory>
#include <vector>

template <class T>
class RecordArray {
  static constexpr std::size_t kBigShift = 12;  // the largest chunks hold 4096
  static constexpr std::size_t kBig = std::size_t{1} << kBigShift;

  // Chunk 0 holds one record and chunk k (1 .. 12) records 2^(k-1) .. 2^k - 1;
  // from record 4096 on every chunk holds 4096.
  static std::size_t ChunkOf(std::size_t i) { return i < kBig ? std::bit_width(i) : kBigShift + (i >> kBigShift); }
  static std::size_t ChunkStart(std::size_t k) {
    return k == 0 ? 0 : k <= kBigShift + 1 ? std::size_t{1} << (k - 1) : (k - kBigShift) * kBig;
  }
  static std::size_t ChunkSize(std::size_t k) { return k == 0 ? 1 : k <= kBigShift ? std::size_t{1} << (k - 1) : kBig; }
  T& At(std::size_t i) const {
    const std::size_t k = ChunkOf(i);
    return chunks_[k][i - ChunkStart(k)];
  }

 public:
  template <class Owner, class Ref>
  class Iter {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = std::remove_reference_t<Ref>*;
    using reference = Ref;

    Iter() = default;
    Iter(Owner* a, std::size_t i) : a_(a), i_(i) {}
    Ref operator*() const { return (*a_)[i_]; }
    pointer operator->() const { return &(*a_)[i_]; }
    Ref operator[](difference_type n) const { return (*a_)[i_ + n]; }
    Iter& operator++() {
      ++i_;
      return *this;
    }
    Iter operator++(int) {
      Iter t = *this;
      ++i_;
      return t;
    }
    Iter& operator--() {
      --i_;
      return *this;
    }
    Iter operator--(int) {
      Iter t = *this;
      --i_;
      return t;
    }
    Iter& operator+=(difference_type n) {
      i_ += n;
      return *this;
    }
    Iter& operator-=(difference_type n) {
      i_ -= n;
      return *this;
    }
    friend Iter operator+(Iter it, difference_type n) { return it += n; }
    friend Iter operator+(difference_type n, Iter it) { return it += n; }
    friend Iter operator-(Iter it, difference_type n) { return it -= n; }
    friend difference_type operator-(const Iter& a, const Iter& b) {
      return static_cast<difference_type>(a.i_) - static_cast<difference_type>(b.i_);
    }
    friend bool operator==(const Iter& a, const Iter& b) { return a.i_ == b.i_; }
    friend auto operator<=>(const Iter& a, const Iter& b) { return a.i_ <=> b.i_; }

   private:
    Owner* a_ = nullptr;
    std::size_t i_ = 0;
  };
  using iterator = Iter<RecordArray, T&>;
  using const_iterator = Iter<const RecordArray, const T&>;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](std::size_t i) { return At(i); }
  const T& operator[](std::size_t i) const { return At(i); }
  T& back() { return (*this)[size_ - 1]; }

  // Appends a value-initialised record and returns it.
  T& emplace_back() {
    if (size_ == ChunkStart(chunks_.size())) chunks_.push_back(std::make_unique<T[]>(ChunkSize(chunks_.size())));
    T& r = (*this)[size_++];
    r = T{};
    return r;
  }
  void push_back(const T& v) { emplace_back() = v; }
  void pop_back() { --size_; }
  void clear() {
    chunks_.clear();
    size_ = 0;
  }
  // Releases the chunks beyond the last record.
  void shrink_to_fit() {
    chunks_.resize(size_ == 0 ? 0 : ChunkOf(size_ - 1) + 1);
    chunks_.shrink_to_fit();
  }

  iterator begin() { return {this, 0}; }
  iterator end() { return {this, size_}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

 private:
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t size_ = 0;
};
