// A growable array of records stored in chunks. A drawing can hold millions
// of entities of one kind; growing in chunks never moves or copies the
// records already read, so a load needs little more memory than the records
// themselves, and references to records stay valid while more are appended.
// Chunks double from one record up to 4096 and then stay at 4096, so the many
// small member arrays of block definitions stay small too. A record is made
// only when it is appended: a chunk's memory beyond the last record is never
// written, so it costs nothing until records reach it.
#pragma once

#include <bit>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

template <class T>
class RecordArray {
  static constexpr std::size_t kBigShift = 12;  // the largest chunks hold 4096
  static constexpr std::size_t kBig = std::size_t{1} << kBigShift;

  // Chunk 0 holds one record and chunk k (1 .. 12) records 2^(k-1) .. 2^k - 1;
  // from record 4096 on every chunk holds 4096.
  static std::size_t ChunkOf(std::size_t I) { return I < kBig ? std::bit_width(I) : kBigShift + (I >> kBigShift); }
  static std::size_t ChunkStart(std::size_t K) {
    return K == 0 ? 0 : K <= kBigShift + 1 ? std::size_t{1} << (K - 1) : (K - kBigShift) * kBig;
  }
  static std::size_t ChunkSize(std::size_t K) { return K == 0 ? 1 : K <= kBigShift ? std::size_t{1} << (K - 1) : kBig; }
  T& At(std::size_t I) const {
    const std::size_t K = ChunkOf(I);
    return Chunks_[K][I - ChunkStart(K)];
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
    Iter(Owner* A, std::size_t I) : A_(A), I_(I) {}
    Ref operator*() const { return (*A_)[I_]; }
    pointer operator->() const { return &(*A_)[I_]; }
    Ref operator[](difference_type N) const { return (*A_)[I_ + N]; }
    Iter& operator++() {
      ++I_;
      return *this;
    }
    Iter operator++(int) {
      Iter Old = *this;
      ++I_;
      return Old;
    }
    Iter& operator--() {
      --I_;
      return *this;
    }
    Iter operator--(int) {
      Iter Old = *this;
      --I_;
      return Old;
    }
    Iter& operator+=(difference_type N) {
      I_ += N;
      return *this;
    }
    Iter& operator-=(difference_type N) {
      I_ -= N;
      return *this;
    }
    friend Iter operator+(Iter It, difference_type N) { return It += N; }
    friend Iter operator+(difference_type N, Iter It) { return It += N; }
    friend Iter operator-(Iter It, difference_type N) { return It -= N; }
    friend difference_type operator-(const Iter& A, const Iter& B) {
      return static_cast<difference_type>(A.I_) - static_cast<difference_type>(B.I_);
    }
    friend bool operator==(const Iter& A, const Iter& B) { return A.I_ == B.I_; }
    friend auto operator<=>(const Iter& A, const Iter& B) { return A.I_ <=> B.I_; }

   private:
    Owner* A_ = nullptr;
    std::size_t I_ = 0;
  };
  using iterator = Iter<RecordArray, T&>;
  using const_iterator = Iter<const RecordArray, const T&>;

  RecordArray() = default;
  RecordArray(RecordArray&& Other) noexcept : Chunks_(std::move(Other.Chunks_)), Size_(std::exchange(Other.Size_, 0)) {}
  RecordArray& operator=(RecordArray&& Other) noexcept {
    if (this != &Other) {
      clear();
      Chunks_ = std::move(Other.Chunks_);
      Size_ = std::exchange(Other.Size_, 0);
    }
    return *this;
  }
  ~RecordArray() { clear(); }

  std::size_t size() const { return Size_; }
  bool empty() const { return Size_ == 0; }
  T& operator[](std::size_t I) { return At(I); }
  const T& operator[](std::size_t I) const { return At(I); }
  T& back() { return (*this)[Size_ - 1]; }

  // Appends a value-initialised record and returns it.
  T& emplace_back() {
    if (Size_ == ChunkStart(Chunks_.size())) {
      Chunks_.reserve(Chunks_.size() + 1);
      Chunks_.push_back(std::allocator<T>().allocate(ChunkSize(Chunks_.size())));
    }
    T* R = &At(Size_);
    ::new (static_cast<void*>(R)) T();
    ++Size_;
    return *R;
  }
  void push_back(const T& V) { emplace_back() = V; }
  void pop_back() { std::destroy_at(&At(--Size_)); }
  void clear() {
    DestroyFrom(0);
    FreeChunksFrom(0);
  }
  // Releases the chunks beyond the last record.
  void shrink_to_fit() {
    FreeChunksFrom(Size_ == 0 ? 0 : ChunkOf(Size_ - 1) + 1);
    Chunks_.shrink_to_fit();
  }

  iterator begin() { return {this, 0}; }
  iterator end() { return {this, Size_}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, Size_}; }

 private:
  void DestroyFrom(std::size_t First) {
    if constexpr (!std::is_trivially_destructible_v<T>)
      for (std::size_t I = First; I < Size_; ++I) std::destroy_at(&At(I));
    Size_ = First;
  }
  // Frees chunk K and all after it; they hold no records.
  void FreeChunksFrom(std::size_t K) {
    for (std::size_t C = K; C < Chunks_.size(); ++C) std::allocator<T>().deallocate(Chunks_[C], ChunkSize(C));
    if (K < Chunks_.size()) Chunks_.resize(K);
  }

  std::vector<T*> Chunks_;  // uninitialised memory beyond the last record
  std::size_t Size_ = 0;
};
