// Sequence<T>: a growable array of plain values with bounds-tested access.
//
// Growth doubles the storage (from 2 after construction, from 1 after clear).
// An index outside 0 .. numElements-1 is a programming error: it prints one
// line to standard error and ends the process with status -1.
#pragma once

#include <utility>

// Reports a bad index and exits with status -1.
[[noreturn]] void sequenceIndexError(int index, int numElements);

template <typename T>
class Sequence {
 public:
  int capacity;
  int numElements;

  Sequence() : capacity(2), numElements(0), data_(new T[2]) {}
  ~Sequence() { delete[] data_; }

  Sequence(const Sequence& other)
      : capacity(other.capacity), numElements(other.numElements), data_(new T[other.capacity]) {
    for (int i = 0; i < numElements; ++i) data_[i] = other.data_[i];
  }
  Sequence& operator=(const Sequence& other) {
    if (this != &other) {
      Sequence copy(other);
      swap(copy);
    }
    return *this;
  }
  // A moved-from sequence is empty with fresh storage, never null.
  Sequence(Sequence&& other) : Sequence() { swap(other); }
  Sequence& operator=(Sequence&& other) {
    if (this != &other) swap(other);
    return *this;
  }

  T& element(int i) {
    if (i < 0 || i >= numElements) sequenceIndexError(i, numElements);
    return data_[i];
  }
  const T& element(int i) const {
    if (i < 0 || i >= numElements) sequenceIndexError(i, numElements);
    return data_[i];
  }

  // Taken by value: `x` may be one of this sequence's own elements, whose
  // storage growing frees.
  void append(T x) {
    if (numElements == capacity) {
      T* grown = new T[2 * capacity];
      for (int i = 0; i < capacity; ++i) grown[i] = data_[i];
      delete[] data_;
      data_ = grown;
      capacity *= 2;
    }
    data_[numElements] = std::move(x);
    ++numElements;
  }

  void clear() {
    T* fresh = new T[1];
    delete[] data_;
    data_ = fresh;
    capacity = 1;
    numElements = 0;
  }

  // Unchecked view of the storage for hot loops that test bounds themselves.
  T* data() { return data_; }
  const T* data() const { return data_; }

  void swap(Sequence& other) {
    std::swap(capacity, other.capacity);
    std::swap(numElements, other.numElements);
    std::swap(data_, other.data_);
  }

 private:
  T* data_;
};
