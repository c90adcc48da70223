#include "platform/ado/Field.h"

#include "platform/ado/Recordset.h"

namespace ado {

const std::string& Field::Name() const
{
    return recordset_->columnName(column_);
}

vb::Variant Field::Value() const
{
    return recordset_->value(column_);
}

RecordsetPtr Field::Chapter() const
{
    return recordset_->chapter(column_);
}

Field& Field::operator=(const vb::Variant& value)
{
    recordset_->setValue(column_, value);
    return *this;
}

int32_t Fields::Count() const
{
    return static_cast<int32_t>(recordset_->columnCount());
}

Field Fields::Item(std::string_view name) const
{
    return recordset_->Fields(name);
}

Field Fields::Item(int index) const
{
    return recordset_->Fields(index);
}

} // namespace ado
