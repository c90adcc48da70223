#pragma once
// The database layer: a small ADO over SQLite. Connection, Command, Recordset
// and Fields keep ADO's member names so that the program's table code reads
// as it was written. Every recordset is client-side: its query is read whole
// and its statement finalised at once, so no lock outlives a call.
//
// The common calling pattern:
//
//     auto rs = ado::Recordset::Create();
//     rs->Open("Stores", conn, ado::adOpenDynamic, ado::adLockOptimistic, ado::adCmdTable);
//     rs->MoveFirst();
//     rs->Find("StoreID = " + std::to_string(id));
//     if (!rs->EOF_()) {
//         vb::Variant name = rs->Fields("StoreName").Value();   // read
//         rs->Fields("StoreName") = "Harbor Point";              // write
//         rs->Update();
//     }
//     rs->Close();
//
// Objects are shared handles (ConnectionPtr, CommandPtr, RecordsetPtr): the
// program keeps program-wide ones per table and routines take copies, so a
// recordset replaced under a routine stays alive for it; one that was closed
// raises 3704 on use, never crashes.

#include "platform/basic/RuntimeError.h"

#include <memory>

namespace ado {

class Connection;
class Command;
class Recordset;
class Fields;
class Field;

using ConnectionPtr = std::shared_ptr<Connection>;
using CommandPtr = std::shared_ptr<Command>;
using RecordsetPtr = std::shared_ptr<Recordset>;

// Where cursors live. Only client-side cursors exist here; the value is kept.
enum CursorLocationEnum : int {
    adUseServer = 2,
    adUseClient = 3,
};

// What a command text or a recordset source is.
enum CommandTypeEnum : int {
    adCmdUnspecified = -1,
    adCmdText = 1,
    adCmdTable = 2,
    adCmdUnknown = 8,
};

// Kept for the callers; every recordset behaves as a static client cursor.
enum CursorTypeEnum : int {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3,
};

// Read-only, or updatable through the hidden rowid.
enum LockTypeEnum : int {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};

enum ObjectStateEnum : int {
    adStateClosed = 0,
    adStateOpen = 1,
};

// AbsolutePosition when there is no current row.
enum PositionEnum : int {
    adPosUnknown = -1,
    adPosBOF = -2,
    adPosEOF = -3,
};

// Error numbers the layer raises (vb::RuntimeError), besides the runtime's
// own 6 (overflow) and 13 (type mismatch) for field values.
enum ErrorNumber : int {
    // Arguments are of the wrong type... (a malformed Find criterion, a bad option).
    kErrInvalidArgument = 3001,
    kErrNoCurrentRecord = vb::kErrNoCurrentRecord, // 3021
    kErrCannotUpdate = 3251,
    kErrItemNotFound = 3265,
    kErrObjectClosed = vb::kErrObjectClosed, // 3704
    kErrObjectOpen = 3705,
    kErrConnectionInvalid = 3709,
    // The provider's failures, with SQLite's text: a file that cannot be
    // opened or is not a database, a locked file, a failed write.
    kErrProvider = -2147467259,
    // The command text is not valid SQL (syntax, unknown table or column).
    kErrCommandText = -2147217900,
    // Fewer or more bound values than the command text has '?' marks.
    kErrParameters = -2147217904,
    // The row being updated or deleted is no longer in the table.
    kErrRowChanged = -2147217864,
};

// Raises one of the numbers above with its standard text; detail is appended.
[[noreturn]] void RaiseError(int number, const std::string& detail = {});

} // namespace ado
