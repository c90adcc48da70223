// The control's dispatch interface _DLumvex.

#include "buttonlib/control/CLumvexCtrl.h"

#include "buttonlib/control/CAboutDlg.h"

const com::DispatchTable& CLumvexCtrl::DispatchMap()
{
    static constexpr com::DispatchMember members[] = {
        DispStockDoClick<CLumvexCtrl>(),
        DispStockRefresh<CLumvexCtrl>(),
        DispStockCaption<CLumvexCtrl>(),
        DispStockEnabled<CLumvexCtrl>(),
        DispStockHwnd<CLumvexCtrl>(),
        DispStockAboutBox<CLumvexCtrl>(),
    };
    static constexpr com::DispatchTable table{&DIID_DLumvex, "_DLumvex", members};
    return table;
}

void CLumvexCtrl::AboutBox()
{
    BeginModalState();
    CAboutDlg::Show(GetContainerWindow());
    EndModalState();
}
