#pragma once
// For the tests of the worksheet and sales windows: the program fixture
// with a database open, keys and clicks for a grid, and a look into
// the tables.

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/controls/Grid.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/ServicesTestSupport.h"
#include "program/services/ShellState.h"
#include "program/stores/StoresState.h"

#include <QTest>

#include <string>
#include <vector>

namespace tv::testing {

class GridWindowFixture : public ProgramFixture {
protected:
    void TearDown() override
    {
        ProgramFixture::TearDown();
        tv::ResetStoresState();
    }

    // Opens the example database, or the empty one.
    void OpenDatabase(bool example)
    {
        tv::Shell().g_DatabaseFileName =
            example ? Mod_tallyvane::kExampleDatabaseFileName : Mod_tallyvane::kDatabaseFileName;
        Mod_DBConnections::OpenDatabase();
    }

    static ado::RecordsetPtr Query(const std::string& sql, const std::vector<vb::Variant>& parameters = {})
    {
        auto command = ado::Command::Create();
        command->ActiveConnection(tv::Shell().g_DBConnection);
        command->CommandType(ado::adCmdText);
        command->CommandText(sql);
        return command->Execute(parameters);
    }
    // The first value of the first row; Empty when there is no row.
    static vb::Variant Value(const std::string& sql, const std::vector<vb::Variant>& parameters = {})
    {
        const ado::RecordsetPtr rs = Query(sql, parameters);
        if (rs->State() != ado::adStateOpen || rs->RecordCount() == 0)
            return {};
        rs->MoveFirst();
        return rs->Fields(0).Value();
    }
    static void Exec(const std::string& sql, const std::vector<vb::Variant>& parameters = {})
    {
        Query(sql, parameters);
    }

    static void Type(controls::Grid& grid, const char* text)
    {
        QTest::keyClicks(grid.Widget(), QString::fromUtf8(text));
    }
    static void Key(controls::Grid& grid, Qt::Key key) { QTest::keyClick(grid.Widget(), key); }
    // A click in the middle of a cell in view.
    static void ClickCell(controls::Grid& grid, long row, long col)
    {
        int x = 0;
        for (long c = 0; c < col; ++c)
            x += static_cast<int>(grid.ColWidth(c) / 15 + 0.5);
        x += static_cast<int>(grid.ColWidth(col) / 30);
        const int rowHeight = static_cast<int>(grid.CellHeight() / 15);
        const long shown = row < grid.FixedRows() ? row : row - grid.TopRow() + grid.FixedRows();
        const int y = static_cast<int>(shown) * rowHeight + rowHeight / 2;
        QTest::mouseClick(grid.Widget(), Qt::LeftButton, {}, QPoint(x, y));
    }
    // Goes to a cell as the arrow keys would: one leave, one enter.
    static void GoTo(controls::Grid& grid, long row, long col) { grid.Select(row, col); }
};

} // namespace tv::testing
