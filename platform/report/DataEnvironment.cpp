#include "platform/report/DataEnvironment.h"

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/Strings.h"
#include "platform/report/DataShape.h"

#include <cctype>
#include <memory>

namespace report {

namespace {

struct DesignCommand {
    const char* name;
    const char* text;
};

// The texts the commands hold until the report builder replaces them; the
// landlord command keeps its text for good.
constexpr DesignCommand kDesign[] = {
    {"LeaseReport",
     "SELECT LeaseEndDate, City, StoreName, StoreNumber, TerminationNotice, State FROM Stores ORDER BY LeaseEndDate"},
    {"cmdBaseRate_Grouping",
     "SHAPE {SELECT BaseRate.YearTotal, BaseRate.`Year`, Stores.StoreNumber, Stores.StoreName FROM BaseRate, Stores "
     "WHERE BaseRate.StoreID = Stores.StoreID ORDER BY BaseRate.`Year`, BaseRate.YearTotal }  AS cmdBaseRate "
     "COMPUTE cmdBaseRate BY 'Year'"},
    {"cmdCAMRate_Grouping",
     "SHAPE {SELECT CAMRate.YearTotal, CAMRate.`Year`, Stores.StoreNumber, Stores.StoreName FROM CAMRate, Stores "
     "WHERE CAMRate.StoreID = Stores.StoreID ORDER BY CAMRate.`Year`, CAMRate.YearTotal }  AS cmdCAMRate "
     "COMPUTE cmdCAMRate BY 'Year'"},
    {"cmdTaxRate_Grouping",
     "SHAPE {SELECT TaxRate.YearTotal, TaxRate.`Year`, Stores.StoreNumber, Stores.StoreName FROM TaxRate, Stores "
     "WHERE TaxRate.StoreID = Stores.StoreID ORDER BY TaxRate.`Year`, TaxRate.YearTotal }  AS cmdTaxRate "
     "COMPUTE cmdTaxRate BY 'Year'"},
    {"cmdPerRate_Grouping",
     "SHAPE {SELECT Stores.StoreNumber, Stores.StoreName, PercentageRate.`Year`, PercentageRate.Rate, "
     "PercentageRate.BreakPoint, PercentageRate.PercentType FROM PercentageRate, Stores WHERE PercentageRate.StoreID "
     "= Stores.StoreID ORDER BY PercentageRate.`Year`, PercentageRate.PercentType }  AS cmdPerRate "
     "COMPUTE cmdPerRate BY 'Year'"},
    {"cmdRenewal", "SELECT RenewalDate, StoreName, StoreNumber, RenewalForReport FROM Stores ORDER BY RenewalDate"},
    {"cmdInsurance",
     "SELECT InsuranceDate, StoreName, StoreNumber, InsuranceForReport FROM Stores ORDER BY InsuranceDate"},
    {"cmdOther", "SELECT OtherDate, StoreName, StoreNumber, OtherForReport FROM Stores ORDER BY OtherDate"},
    {"cmdLeaseTerm", "SELECT InitialTerm, StoreName, StoreNumber FROM Stores"},
    {"cmdLandLord",
     "SHAPE {SELECT * FROM `Landlord`}  AS cmdLandLord APPEND ({SELECT * FROM `Stores`}  AS cmdStores RELATE "
     "'LandLordID' TO 'LandLordID') AS cmdStores"},
};

std::unique_ptr<DataEnvironment>& instance()
{
    static std::unique_ptr<DataEnvironment> de;
    return de;
}

} // namespace

std::string ConnectionStringFor(const std::filesystem::path& databaseFile)
{
    return "provider=Microsoft.Jet.OLEDB.4.0;persist security info=False;Data Source=" + databaseFile.string()
        + ";Mode = readwrite";
}

DataEnvironment::DataEnvironment()
    : Connection1(ado::Connection::Create())
{
    for (const DesignCommand& c : kDesign)
        commands_.push_back({c.name, c.text, ado::Recordset::Create()});
}

DECommand& DataEnvironment::Commands(int index)
{
    if (index < 1 || index > CommandCount())
        vb::Raise(vb::kErrSubscript);
    return commands_[static_cast<size_t>(index - 1)];
}

DECommand& DataEnvironment::Commands(std::string_view name)
{
    for (DECommand& c : commands_)
        if (vb::SameText(c.Name, name))
            return c;
    ado::RaiseError(ado::kErrItemNotFound, std::string(name));
}

void DataEnvironment::Connect(const std::filesystem::path& databaseFile)
{
    if (Connection1->State() == ado::adStateOpen && Connection1->DataSource() != databaseFile)
        Connection1->Close();
    Connection1->ConnectionString(ConnectionStringFor(databaseFile));
}

ado::RecordsetPtr DataEnvironment::Execute(int index)
{
    DECommand& cmd = Commands(index);
    InstallDataShape();
    if (Connection1->State() != ado::adStateOpen)
        Connection1->Open();
    cmd.Recordset->Close();
    cmd.Recordset->Open(cmd.CommandText, Connection1, ado::adOpenStatic, ado::adLockReadOnly, ado::adCmdText);
    return cmd.Recordset;
}

DataEnvironment& DataEnvironment1()
{
    if (!instance())
        instance() = std::make_unique<DataEnvironment>();
    return *instance();
}

void ResetDataEnvironment1()
{
    instance() = std::make_unique<DataEnvironment>();
}

} // namespace report
