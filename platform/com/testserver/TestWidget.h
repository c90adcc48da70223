#pragma once
// A small component with every kind of member, events and bound properties:
// the tests call it in their own process and, built into libcomtestserver.so,
// through the loader.

#include "platform/com/ConnectionPoint.h"
#include "platform/com/TypeInfo.h"

#include <string>

namespace comtest {

class Widget final : public com::ComObject<Widget, com::DispatchImpl<Widget>, IConnectionPointContainer,
                                           IProvideClassInfo2> {
public:
    Widget();
    ~Widget() override;

    static const com::DispatchTable& Table();
    static const com::DispatchTable& EventTable();
    static const com::CoClassInfo& ClassInfo();
    std::span<const com::InterfaceEntry> InterfaceTable() const;

    HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
    HRESULT GetClassInfo(ITypeInfo** info) override;
    HRESULT GetGUID(DWORD kind, GUID* guid) override;

    std::int32_t Number() const { return number_; }
    void SetNumber(std::int32_t n);
    std::int16_t Small() const { return small_; }
    void SetSmall(std::int16_t n) { small_ = n; }
    std::string Title() const { return title_; }
    void SetTitle(std::string t) { title_ = std::move(t); }
    bool Flag() const { return flag_; }
    void SetFlag(bool f) { flag_ = f; }
    double Ratio() const { return ratio_; }
    void SetRatio(double r) { ratio_ = r; }
    std::int64_t Address() const { return address_; }
    void SetAddress(std::int64_t a) { address_ = a; }
    static std::int32_t LiveCount();

    std::int32_t Add(std::int32_t a, std::int32_t b);
    std::string Describe(std::string text, std::int16_t* length, std::int32_t* words);
    void Fail(std::string message);
    std::int16_t Fire(std::int16_t code);
    void Ring(std::int16_t code);
    std::string Setting(std::string key, std::string name);
    std::int16_t HandleKind(std::int32_t handle);

private:
    com::ConnectionPoint events_;
    com::ConnectionPoint notify_;
    std::int32_t number_ = 0;
    std::int16_t small_ = 0;
    std::string title_;
    bool flag_ = false;
    double ratio_ = 0;
    std::int64_t address_ = 0;
};

} // namespace comtest
