// Numbered object tables of the media runtime: ids chosen by the game, or picked here for id -1.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

// Ids the runtime picks for itself start high so that they never meet the small numbers the
// game hands out in order (sprite numbers, sound slots).
constexpr int64_t kFirstPickedId = 1 << 24;

// Ids below this are also found through a plain array: a frame looks sprites up thousands of
// times, and a tree walk each time costs the headless runner much of its frame.
constexpr int64_t kDirectIds = 1 << 16;

template <typename T> struct ObjectTable {
    std::map<int64_t, std::unique_ptr<T>> objects; // changed only by store and release
    std::vector<T*> direct;                        // by id below kDirectIds; null for none

    T* find(int64_t id) const {
        if (id >= 0 && id < int64_t(direct.size())) return direct[size_t(id)];
        if (id < kDirectIds) return nullptr;
        auto it = objects.find(id);
        return it == objects.end() ? nullptr : it->second.get();
    }

    // Stores the object under id (-1: a free id is picked); the old object there is freed.
    // Returns the id used, or -1 for an id the tables cannot hold.
    int64_t store(int64_t id, std::unique_ptr<T> object) {
        if (id < -1) return -1;
        if (id == -1) id = freeId();
        T* stored = object.get();
        objects[id] = std::move(object);
        if (id < kDirectIds) {
            if (id >= int64_t(direct.size())) direct.resize(size_t(id) + 1, nullptr);
            direct[size_t(id)] = stored;
        }
        return id;
    }

    int64_t freeId() const {
        int64_t id = kFirstPickedId;
        auto it = objects.lower_bound(id);
        while (it != objects.end() && it->first == id) {
            ++id;
            ++it;
        }
        return id;
    }

    // Frees one object, or every object for id -1.
    void release(int64_t id) {
        if (id == -1) {
            objects.clear();
            direct.clear();
            return;
        }
        objects.erase(id);
        if (id >= 0 && id < int64_t(direct.size())) direct[size_t(id)] = nullptr;
    }
};

// The result a creating operation returns: the picked id for -1, otherwise 1 for success.
inline int64_t creationResult(int64_t requestedId, int64_t storedId) {
    if (storedId < 0) return 0;
    return requestedId == -1 ? storedId : 1;
}
