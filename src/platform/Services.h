#pragma once
// The program-wide desktop services. A program installs its Qt implementations
// at start-up; tests install recording doubles with ScopedServices. Without
// either, message boxes go to stderr (command-line use), dialogs cancel, the
// clipboard is kept in memory and the event pump does nothing.
#include "platform/Desktop.h"
#include "platform/FileSystem.h"

namespace platform {

struct Services {
    MessageBoxes* boxes = nullptr;
    Clipboard* clipboard = nullptr;
    FileDialogs* dialogs = nullptr;
    InputBox* input = nullptr;
    BusyPointer* busy = nullptr;
    EventPump* pump = nullptr;
    FileSystem* files = nullptr;
};

// The installed services; never null members.
Services& services();

inline MessageBoxes& boxes() { return *services().boxes; }
inline Clipboard& clipboard() { return *services().clipboard; }
inline FileDialogs& dialogs() { return *services().dialogs; }
inline InputBox& inputBox() { return *services().input; }
inline BusyPointer& busyPointer() { return *services().busy; }
inline EventPump& eventPump() { return *services().pump; }
inline FileSystem& files() { return *services().files; }

// Replaces the non-null members of `replacement` for its lifetime.
class ScopedServices {
public:
    explicit ScopedServices(const Services& replacement);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services saved_;
};

// Installs the non-null members for the rest of the program.
void installServices(const Services& replacement);

}  // namespace platform
