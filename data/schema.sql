-- Tallyvane's database: eight tables. The declared types drive the program's
-- conversions: INTEGER is a Long, SMALLINT a 16-bit Integer (the CHECK makes
-- other writers overflow as the program would), TEXT compares without case,
-- DATETIME is the text 'YYYY-MM-DD HH:MM:SS', CURRENCY is read back as an
-- exact amount. No column has a default: a value never written reads Null.
-- The logical keys (StoreID + Year) are kept by the program, not the file.

CREATE TABLE Stores (
    StoreID INTEGER PRIMARY KEY AUTOINCREMENT,
    StoreName TEXT COLLATE NOCASE,
    StoreNumber INTEGER,
    Street TEXT COLLATE NOCASE,
    City TEXT COLLATE NOCASE,
    State TEXT COLLATE NOCASE,
    ZipCode TEXT COLLATE NOCASE,
    Region TEXT COLLATE NOCASE,
    Manager TEXT COLLATE NOCASE,
    AsstManager TEXT COLLATE NOCASE,
    ThirdKey TEXT COLLATE NOCASE,
    Phone TEXT COLLATE NOCASE,
    Fax TEXT COLLATE NOCASE,
    Icon TEXT COLLATE NOCASE,
    LeaseDate DATETIME,
    CommenceDate DATETIME,
    LeaseEndDate DATETIME,
    InitialTerm INTEGER,
    Renewal TEXT COLLATE NOCASE,
    RenewalDate DATETIME,
    RenewalForReport TEXT COLLATE NOCASE,
    TerminationNotice TEXT COLLATE NOCASE,
    SquareFoot TEXT COLLATE NOCASE,
    SalesReporting TEXT COLLATE NOCASE,
    SalesReportDueDate DATETIME,
    SalesReportAnnualDueDate DATETIME,
    InsuranceInfo TEXT COLLATE NOCASE,
    InsuranceDate DATETIME,
    InsuranceForReport TEXT COLLATE NOCASE,
    OtherNotes TEXT COLLATE NOCASE,
    OtherDate DATETIME,
    OtherForReport TEXT COLLATE NOCASE,
    ReminderBitMask SMALLINT CHECK (ReminderBitMask BETWEEN -32768 AND 32767),
    LandLordID INTEGER
);

CREATE TABLE LandLord (
    LandLordID INTEGER PRIMARY KEY AUTOINCREMENT,
    Company TEXT COLLATE NOCASE,
    WebSite TEXT COLLATE NOCASE,
    Street TEXT COLLATE NOCASE,
    City TEXT COLLATE NOCASE,
    State TEXT COLLATE NOCASE,
    ZipCode TEXT COLLATE NOCASE,
    Region TEXT COLLATE NOCASE,
    Contact TEXT COLLATE NOCASE,
    email TEXT COLLATE NOCASE,
    Phone TEXT COLLATE NOCASE,
    Fax TEXT COLLATE NOCASE
);

CREATE TABLE BaseRate (
    StoreID INTEGER,
    Year SMALLINT CHECK (Year BETWEEN -32768 AND 32767),
    MonthTotal CURRENCY,
    YearTotal CURRENCY
);

CREATE TABLE CAMRate (
    StoreID INTEGER,
    Year SMALLINT CHECK (Year BETWEEN -32768 AND 32767),
    MonthTotal CURRENCY,
    YearTotal CURRENCY
);

CREATE TABLE TaxRate (
    StoreID INTEGER,
    Year SMALLINT CHECK (Year BETWEEN -32768 AND 32767),
    MonthTotal CURRENCY,
    YearTotal CURRENCY
);

-- Rate holds the text the worksheet shows: "$500.00" for "Flat Rate",
-- "5.000%" for "% of Sales", empty for "None".
CREATE TABLE PercentageRate (
    StoreID INTEGER,
    Year SMALLINT CHECK (Year BETWEEN -32768 AND 32767),
    PercentType TEXT COLLATE NOCASE,
    Rate TEXT COLLATE NOCASE,
    BreakPoint CURRENCY
);

CREATE TABLE Sales (
    StoreID INTEGER,
    Year SMALLINT CHECK (Year BETWEEN -32768 AND 32767),
    January CURRENCY,
    February CURRENCY,
    March CURRENCY,
    April CURRENCY,
    May CURRENCY,
    June CURRENCY,
    July CURRENCY,
    August CURRENCY,
    September CURRENCY,
    October CURRENCY,
    November CURRENCY,
    December CURRENCY,
    Total CURRENCY
);

-- Date is a day number (whole days since 1 January 1900); Type and Image are
-- the reminder kind "1" to "5" as text.
CREATE TABLE CalInfo (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Date INTEGER,
    StoreID INTEGER,
    Type TEXT COLLATE NOCASE,
    info TEXT COLLATE NOCASE,
    Image TEXT COLLATE NOCASE
);

CREATE INDEX CalInfoDate ON CalInfo (Date);
CREATE INDEX CalInfoStore ON CalInfo (StoreID, Type);
CREATE INDEX BaseRateStoreYear ON BaseRate (StoreID, Year);
CREATE INDEX CAMRateStoreYear ON CAMRate (StoreID, Year);
CREATE INDEX TaxRateStoreYear ON TaxRate (StoreID, Year);
CREATE INDEX PercentageRateStoreYear ON PercentageRate (StoreID, Year);
CREATE INDEX SalesStoreYear ON Sales (StoreID, Year);
CREATE INDEX StoresNumber ON Stores (StoreNumber);
