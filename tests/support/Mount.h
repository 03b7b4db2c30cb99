#pragma once

#include <filesystem>

#include <sys/mount.h>

namespace pix::testing {

// A file system of its own under the test's folder, unmounted at the end;
// empty when this process may not mount.
class TMount {
public:
    TMount(const std::filesystem::path& at, const char* source, const char* type, unsigned long flags, const char* options)
        : fAt(at)
    {
        std::filesystem::create_directories(at);
        fMounted = mount(source, at.c_str(), type, flags, options) == 0;
    }
    ~TMount()
    {
        if (fMounted)
            umount2(fAt.c_str(), MNT_DETACH);
    }
    TMount(const TMount&) = delete;
    TMount& operator=(const TMount&) = delete;

    bool Mounted() const { return fMounted; }
    bool Remount(unsigned long flags) { return mount(nullptr, fAt.c_str(), nullptr, MS_REMOUNT | flags, nullptr) == 0; }

private:
    std::filesystem::path fAt;
    bool fMounted = false;
};

} // namespace pix::testing
