#pragma once
// ADO's Fields collection and Field of a Recordset. A Field is a small handle
// (its recordset and a column) that reads and writes the current row:
//
//     vb::Variant name = rs->Fields("StoreName").Value();
//     rs->Fields("StoreName") = "Harbor Point";   // converted by the column's type
//
// Values follow the declared column types (see SqlValue.h). Names compare
// without case. An unknown name raises 3265; no current row raises 3021; a
// read-only recordset refuses a write with 3251.

#include "platform/ado/Ado.h"
#include "platform/basic/Variant.h"

#include <string>
#include <string_view>

namespace ado {

class Field {
public:
    Field(RecordsetPtr recordset, size_t column) : recordset_(std::move(recordset)), column_(column) {}
    Field(const Field&) = default;

    const std::string& Name() const;
    // A Chapter column (data-shape result) reads as its chapter's number.
    vb::Variant Value() const;
    // The child rows of a Chapter column for the current row, as a new
    // read-only recordset on its first row; 13 for any other column.
    RecordsetPtr Chapter() const;

    // Writes the value into the current row (or the row AddNew started); the
    // recordset's Update stores it.
    Field& operator=(const vb::Variant& value);
    // Copies the other field's value, not the handle.
    Field& operator=(const Field& other) { return *this = other.Value(); }

private:
    RecordsetPtr recordset_;
    size_t column_;
};

class Fields {
public:
    explicit Fields(RecordsetPtr recordset) : recordset_(std::move(recordset)) {}

    int32_t Count() const;
    Field Item(std::string_view name) const;
    Field Item(int index) const;
    Field operator()(std::string_view name) const { return Item(name); }
    Field operator()(int index) const { return Item(index); }

private:
    RecordsetPtr recordset_;
};

} // namespace ado
