#include "platform/com/TestContainer.h"

namespace com {

TestContainer::TestContainer(int width, int height) : host_(std::make_unique<QWidget>())
{
    host_->resize(width, height);
}

TestContainer::~TestContainer()
{
    CloseAll();
}

ControlSite* TestContainer::added(ComPtr<ControlSite> site)
{
    Log& log = logs_.emplace_back();
    site->SetUserMode(userMode_);
    site->onChanged = [&log](DISPID id) { log.changed.push_back(id); };
    site->onPosRectChange = [&log](const RECT& r) { log.posRectChanges.push_back(r); };
    site->onFocus = [&log](bool got) { log.focus.push_back(got); };
    site->onControlInfoChanged = [&log] { ++log.controlInfoChanges; };
    site->onShowObject = [&log] { ++log.showObjects; };
    if (EventSink* events = site->Events())
        events->OnAny([&log](DISPID id, std::span<VARIANT* const> args) {
            Event e{id, {}};
            for (VARIANT* a : args) {
                ComVariant copy;
                VariantCopyInd(&copy, a);
                e.args.push_back(copy);
            }
            log.events.push_back(std::move(e));
        });
    sites_.push_back(site);
    return site.Get();
}

ControlSite* TestContainer::Add(IUnknown* control)
{
    auto site = NewControlSite(host_.get());
    // The ambients are right before the control first reads them.
    site->SetUserMode(userMode_);
    if (FAILED(site->Attach(control)))
        return nullptr;
    return added(site);
}

ControlSite* TestContainer::Create(REFCLSID clsid)
{
    auto site = NewControlSite(host_.get());
    site->SetUserMode(userMode_);
    if (FAILED(site->Create(clsid)))
        return nullptr;
    return added(site);
}

TestContainer::Log& TestContainer::LogOf(const ControlSite* site)
{
    for (std::size_t i = 0; i < sites_.size(); ++i)
        if (sites_[i].Get() == site)
            return logs_[i];
    static Log none;
    none = Log{};
    return none;
}

void TestContainer::SetUserMode(bool userMode)
{
    userMode_ = userMode;
    for (auto& site : sites_)
        site->SetUserMode(userMode);
}

void TestContainer::CloseAll()
{
    for (auto& site : sites_)
        site->Close();
}

} // namespace com
