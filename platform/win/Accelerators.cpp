#include "platform/win/Accelerators.h"

#include "platform/win/VirtualKeys.h"
#include "platform/win/Window.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

struct win::HACCEL__ {
    std::vector<ACCEL> entries;
};

namespace win {

namespace {

struct Tables {
    std::mutex mutex;
    std::map<HACCEL, std::unique_ptr<HACCEL__>> live;
};

Tables& tables()
{
    static Tables t;
    return t;
}

std::vector<ACCEL> entriesOf(HACCEL table)
{
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    const auto it = t.live.find(table);
    return it == t.live.end() ? std::vector<ACCEL>{} : it->second->entries;
}

} // namespace

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count)
{
    if (!entries || count <= 0)
        return nullptr;
    auto table = std::make_unique<HACCEL__>();
    table->entries.assign(entries, entries + count);
    HACCEL h = table.get();
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    t.live.emplace(h, std::move(table));
    return h;
}

BOOL DestroyAcceleratorTable(HACCEL table)
{
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    return t.live.erase(table) ? TRUE : FALSE;
}

int CopyAcceleratorTable(HACCEL table, ACCEL* entries, int max)
{
    const std::vector<ACCEL> all = entriesOf(table);
    if (entries)
        std::copy_n(all.begin(), std::min<std::size_t>(all.size(), std::size_t(std::max(max, 0))), entries);
    return int(all.size());
}

int TranslateAccelerator(HWND hwnd, HACCEL table, const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return 0;
    const bool alt = msg->message == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    for (const ACCEL& a : entriesOf(table)) {
        if (!(a.fVirt & FVIRTKEY) || a.key != msg->wParam)
            continue;
        if (bool(a.fVirt & FALT) != alt || bool(a.fVirt & FSHIFT) != shift || bool(a.fVirt & FCONTROL) != control)
            continue;
        SendMessage(hwnd, WM_COMMAND, WPARAM(a.cmd) | (WPARAM(1) << 16), 0);
        return 1;
    }
    return 0;
}

std::size_t AcceleratorTableCount()
{
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    return t.live.size();
}

} // namespace win
