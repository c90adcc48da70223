#pragma once
// Sets a program-wide flag for the life of the object and gives it back its
// previous value afterwards, also when an error leaves the scope: the flags
// that keep change handlers still while code fills a window.

namespace vb {

class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = before_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool before_;
};

} // namespace vb
