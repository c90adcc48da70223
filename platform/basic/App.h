#pragma once
// App, Screen and DoEvents of the runtime, and the folders the program lives in.

#include <filesystem>
#include <string>

namespace vb {

// The program folder (App.Path: the per-user writable folder with the
// database, icons and line files), the install folder (read-only files that
// shipped with the program), the configuration folder (the registry file) and
// the cache folder (downloads on their way in). Tests point them at a
// temporary folder.
namespace AppPaths {
std::filesystem::path ProgramFolder();
std::filesystem::path InstallFolder();
std::filesystem::path ConfigFolder();
std::filesystem::path CacheFolder();
// The registry store's file inside the configuration folder.
std::filesystem::path RegistryFile();

void SetProgramFolder(const std::filesystem::path& folder);
void SetInstallFolder(const std::filesystem::path& folder);
void SetConfigFolder(const std::filesystem::path& folder);
void SetCacheFolder(const std::filesystem::path& folder);
// program/, install/, config/ and cache/ under root.
void UseRoot(const std::filesystem::path& root);
// Back to the defaults of the desktop.
void Reset();
} // namespace AppPaths

namespace App {
// The program folder as text, without a trailing separator.
std::string Path();
std::string Title();
void SetTitle(const std::string& title);
std::string EXEName();
std::string CompanyName();
std::string ProductName();
int Major();
int Minor();
int Revision();
} // namespace App

namespace Screen {
constexpr int kTwipsPerPixel = 15;
inline int TwipsPerPixelX() { return kTwipsPerPixel; }
inline int TwipsPerPixelY() { return kTwipsPerPixel; }
// The primary screen in twips (1024 x 768 pixels when there is none).
int Width();
int Height();
} // namespace Screen

inline int PixelsToTwips(int pixels) { return pixels * Screen::kTwipsPerPixel; }
inline int TwipsToPixels(int twips) { return twips / Screen::kTwipsPerPixel; }

// Lets the event loop run pending events; timers and clicks may run inside.
void DoEvents();

} // namespace vb
