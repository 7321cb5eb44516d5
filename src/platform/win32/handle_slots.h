// The serial and network handles the link passes around are small
// integers (serial::Handle); on Windows each names a slot holding the
// system's handle and what the backend keeps beside it.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

namespace win32 {

template <class Slot>
class HandleSlots {
public:
    int Add(std::unique_ptr<Slot> slot)
    {
        std::lock_guard lock(mutex_);
        for (size_t i = 0; i < slots_.size(); ++i)
            if (!slots_[i]) {
                slots_[i] = std::move(slot);
                return int(i);
            }
        slots_.push_back(std::move(slot));
        return int(slots_.size() - 1);
    }
    // Null for a handle that is not open. The slot stays valid until its
    // handle is closed, which only its user does.
    Slot* Get(int handle)
    {
        std::lock_guard lock(mutex_);
        return handle >= 0 && size_t(handle) < slots_.size() ? slots_[size_t(handle)].get()
                                                             : nullptr;
    }
    std::unique_ptr<Slot> Take(int handle)
    {
        std::lock_guard lock(mutex_);
        if (handle < 0 || size_t(handle) >= slots_.size())
            return nullptr;
        return std::move(slots_[size_t(handle)]);
    }

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<Slot>> slots_;
};

} // namespace win32
