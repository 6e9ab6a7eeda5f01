#pragma once
// Runs of small records in a few large blocks, freed all at once: the storage behind the
// records of a loaded library.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

// Runs of T in blocks that never move. The latest run can grow in place while its block has
// room; any other run, or one outgrowing its block, is copied to a new place.
template <class T> class TRunArena {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "runs are copied bytewise and never destroyed one by one");

public:
    TRunArena() = default;
    // A moved-from arena is empty: its blocks went with the move.
    TRunArena(TRunArena&& other) noexcept { *this = std::move(other); }
    TRunArena& operator=(TRunArena&& other) noexcept {
        if (this != &other) {
            Blocks = std::move(other.Blocks);
            Free = std::exchange(other.Free, nullptr);
            End = std::exchange(other.End, nullptr);
            NextBlock = std::exchange(other.NextBlock, FirstBlock);
            other.Blocks.clear();
        }
        return *this;
    }

    // The run `run` of `used` entries made `count` long: the first min(used, count) entries as
    // they were, the rest value-initialised. Returns where the run now is.
    T* Resize(T* run, std::size_t used, std::size_t count) {
        if (run && run + used == Free &&
            (count <= used || count - used <= static_cast<std::size_t>(End - Free))) {
            for (T* p = run + used; p < run + count; ++p)
                new (p) T();
            Free = run + count;
            return run;
        }
        T* fresh = Allocate(count);
        std::size_t kept = std::min(used, count);
        if (run && kept)
            std::memcpy(static_cast<void*>(fresh), run, kept * sizeof(T));
        for (T* p = fresh + kept; p < fresh + count; ++p)
            new (p) T();
        return fresh;
    }

    // `run` of `used` entries with a copy of `value` after them; returns where the run now is.
    T* Append(T* run, std::size_t used, const T& value) {
        if (run + used == Free && Free != End) {
            new (Free++) T(value);
            return run;
        }
        T* fresh = Allocate(used + 1);
        if (run && used)
            std::memcpy(static_cast<void*>(fresh), run, used * sizeof(T));
        new (fresh + used) T(value);
        return fresh;
    }

private:
    struct TFree {
        void operator()(T* p) const { ::operator delete(p); }
    };

    T* Allocate(std::size_t count) {
        if (static_cast<std::size_t>(End - Free) < count) {
            // Room for a run that outgrows its block to double where it lands.
            std::size_t size = std::max(2 * count, NextBlock);
            NextBlock = std::min(NextBlock * 2, MaxBlock);
            Blocks.emplace_back(static_cast<T*>(::operator new(size * sizeof(T))));
            Free = Blocks.back().get();
            End = Free + size;
        }
        T* run = Free;
        Free += count;
        return run;
    }

    static constexpr std::size_t FirstBlock = 256;
    static constexpr std::size_t MaxBlock = (std::size_t{1} << 22) / sizeof(T);
    std::vector<std::unique_ptr<T, TFree>> Blocks;
    T* Free = nullptr;
    T* End = nullptr;
    std::size_t NextBlock = FirstBlock;
};
