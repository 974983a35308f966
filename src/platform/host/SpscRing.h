#pragma once
// A ring between exactly one writer thread and one reader thread, neither of which ever waits,
// locks or allocates after construction. The capacity is a power of two so that positions can
// run freely and be masked; the indices count elements ever written and ever read.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <memory>

namespace quillmar {

template <typename T>
class SpscRing {
  public:
    // Holds at least minCapacity elements.
    explicit SpscRing(std::size_t minCapacity) {
        std::size_t capacity = 1;
        while (capacity < minCapacity) capacity <<= 1;
        capacity_ = capacity;
        mask_ = capacity - 1;
        data_ = std::make_unique<T[]>(capacity);
    }
    SpscRing(const SpscRing&) = delete;
    SpscRing& operator=(const SpscRing&) = delete;

    std::size_t capacity() const { return capacity_; }

    // The writer's half: only the writer thread calls these.
    class Writer {
      public:
        explicit Writer(SpscRing& ring) : ring_(ring) {}
        // Room for this many elements now (may grow as the reader reads).
        std::size_t space() const {
            // Our own index: relaxed, only this thread stores it. The reader's index: acquire,
            // so its copies out of the slots it released are complete before we overwrite them.
            const std::size_t head = ring_.head_.load(std::memory_order_relaxed);
            const std::size_t tail = ring_.tail_.load(std::memory_order_acquire);
            return ring_.capacity_ - (head - tail);
        }
        // Writes all n elements, or none when they do not fit. Real-time safe.
        bool write(const T* data, std::size_t n) {
            if (n > space()) return false;
            const std::size_t head = ring_.head_.load(std::memory_order_relaxed);
            const std::size_t at = head & ring_.mask_;
            const std::size_t first = std::min(n, ring_.capacity_ - at);
            std::copy(data, data + first, ring_.data_.get() + at);
            std::copy(data + first, data + n, ring_.data_.get());
            // Release: the elements copied above are visible to a reader that acquires the
            // new head.
            ring_.head_.store(head + n, std::memory_order_release);
            return true;
        }

      private:
        SpscRing& ring_;
    };

    // The reader's half: only the reader thread calls these.
    class Reader {
      public:
        explicit Reader(SpscRing& ring) : ring_(ring) {}
        // Elements ready to read.
        std::size_t available() const {
            // The writer's index: acquire, so the elements it published are visible to us.
            // Our own index: relaxed, only this thread stores it.
            const std::size_t head = ring_.head_.load(std::memory_order_acquire);
            const std::size_t tail = ring_.tail_.load(std::memory_order_relaxed);
            return head - tail;
        }
        // Reads up to n elements; returns how many. Real-time safe.
        std::size_t read(T* out, std::size_t n) {
            n = std::min(n, available());
            const std::size_t tail = ring_.tail_.load(std::memory_order_relaxed);
            const std::size_t at = tail & ring_.mask_;
            const std::size_t first = std::min(n, ring_.capacity_ - at);
            std::copy(ring_.data_.get() + at, ring_.data_.get() + at + first, out);
            std::copy(ring_.data_.get(), ring_.data_.get() + (n - first), out + first);
            // Release: our copies out of these slots are done before the writer, acquiring the
            // new tail, may reuse them.
            ring_.tail_.store(tail + n, std::memory_order_release);
            return n;
        }

      private:
        SpscRing& ring_;
    };

    Writer& writer() { return writer_; }
    Reader& reader() { return reader_; }

  private:
    std::size_t capacity_ = 0;
    std::size_t mask_ = 0;
    std::unique_ptr<T[]> data_;
    // On separate cache lines so the two threads do not slow each other down.
    alignas(64) std::atomic<std::size_t> head_{0};  // elements ever written
    alignas(64) std::atomic<std::size_t> tail_{0};  // elements ever read
    Writer writer_{*this};
    Reader reader_{*this};
};

}  // namespace quillmar
