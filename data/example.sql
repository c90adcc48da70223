-- Example data for Tallyvane_ExampleDB.mdb: a chain of twelve stores in
-- twelve states, four property management companies, rents for every lease
-- year, monthly sales and calendar reminders. Invented names; phone numbers
-- are from the 555-01xx range and web addresses end in .example.
--
-- Dates are relative to the day the file is built (Build.Today, set by the
-- builder), spread so that the calendar, the task list and the date reports
-- have entries in the coming weeks and months and still some in the years
-- after: leases end from one month to five years ahead, reminders fall from a
-- week to over two years ahead. Sales cover the two years before the build
-- year to the year after it.

INSERT INTO LandLord (LandLordID, Company, WebSite, Street, City, State, ZipCode, Region, Contact, email, Phone, Fax)
VALUES
 (1, 'Meridian Property Group', 'www.meridianpg.example', '400 Commerce Way' || char(13, 10) || 'Suite 1200',
  'Seattle', 'WA', '98101', 'USA', 'Dana Whitfield', 'dwhitfield@meridianpg.example', '(206) 555-0148',
  '(206) 555-0149'),
 (2, 'O''Brien Realty Partners', 'www.obrienrealty.example', '233 S Wacker Dr', 'Chicago', 'IL', '60606', 'USA',
  'Kevin O''Brien', 'kevin@obrienrealty.example', '(312) 555-0172', '(312) 555-0173'),
 (3, 'Sunbelt Retail Properties', 'www.sunbeltretail.example', '2001 Ross Ave' || char(13, 10) || 'Floor 18',
  'Dallas', 'TX', '75201', 'USA', 'Maria Delgado', 'mdelgado@sunbeltretail.example', '(214) 555-0126',
  '(214) 555-0127'),
 -- A company no store uses (yet).
 (4, 'Granite Peak Management', 'www.granitepeak.example', '1700 Lincoln St', 'Denver', 'CO', '80203', 'USA',
  'Thomas Reyes', 'treyes@granitepeak.example', '(303) 555-0190', NULL);

-- One line per store. EndMonth/EndDay: the lease ends EndDay days into the
-- month EndMonth months after the build month (days stay below 28, so adding
-- whole years lands on the same day). The *In columns are reminder dates as
-- days after the build day; AnnualIn NULL means no annual sales report.
CREATE TEMP TABLE StorePlan (
    No INTEGER, Name TEXT, Street TEXT, City TEXT, State TEXT, Zip TEXT,
    Manager TEXT, Asst TEXT, Third TEXT, Phone TEXT, Fax TEXT,
    EndMonth INTEGER, EndDay INTEGER, Term INTEGER, Notice TEXT, SqFt TEXT,
    Reporting TEXT, DueIn INTEGER, AnnualIn INTEGER,
    RenewalIn INTEGER, RenewalText TEXT, InsuranceIn INTEGER, InsuranceText TEXT, OtherIn INTEGER, OtherText TEXT,
    Mask INTEGER, LandLord INTEGER
);

INSERT INTO StorePlan VALUES
 (3, 'Harbor Point', '1120 Alaskan Way', 'Seattle', 'WA', '98101',
  'Alice Moreno', 'Ben Carter', 'Chris Yamada', '(206) 555-0101', '(206) 555-0102',
  1, 5, 5, '180 days written notice', '2,400',
  'Monthly', 20, 100,
  12, 'One 5-year option at 95% of fair market rent.', 45,
  'General liability $2,000,000; certificate to the landlord every year.', 75,
  'Storefront repainting planned; landlord pays half.', 7, 1),
 (7, 'Riverside Plaza', '455 River Rd' || char(13, 10) || 'Unit 14', 'Portland', 'OR', '97201',
  'Priya Natarajan', 'Luis Ortega', 'Hannah Berg', '(503) 555-0111', '(503) 555-0112',
  3, 12, 10, '120 days written notice', '3,150',
  'Quarterly', 33, NULL,
  40, 'Two 5-year options; rent fixed at the last year plus 3%.', 130,
  'Property insurance with the landlord named as additional insured.', 9,
  'Sign permit renewal with the city.', 7, 1),
 (12, 'Cedar Creek Commons', '78 Cedar Creek Blvd', 'Austin', 'TX', '78701',
  'Marcus Hill', 'Jenna Price', 'Omar Farouk', '(512) 555-0121', '(512) 555-0122',
  5, 20, 5, '90 days written notice', '4,800',
  'Monthly', 51, 220,
  70, 'Renewal at market rent; landlord to quote 9 months ahead.', 16,
  'Umbrella policy $5,000,000 required from the second lease year.', 160,
  'HVAC service contract review.', 7, 2),
 (21, 'Maple Grove Center', '2300 Maple Grove Pkwy', 'Minneapolis', 'MN', '55401',
  'Sarah Lindqvist', 'Tom Becker', NULL, '(612) 555-0131', NULL,
  8, 3, 7, '6 months written notice', '1,900',
  'Semi-Annually', 29, NULL,
  105, 'No renewal option; negotiate a new lease.', 200,
  'Plate glass insurance carried by the tenant.', 38,
  'Snow removal charges to be checked against the CAM statement.', 6, 3),
 (34, 'Lakeshore Galleria', '900 N Lake Shore Dr', 'Chicago', 'IL', '60611',
  'Grace Kim', 'Daniel Novak', 'Rita Alvarez', '(312) 555-0141', '(312) 555-0142',
  11, 9, 10, '180 days written notice', '5,600',
  'Quarterly', 64, 48,
  150, 'Three 5-year options at 100% of fair market rent.', 88,
  'Business interruption cover for 12 months of rent.', 300,
  'Mall renovation may close the east entrance for a month.', 7, 2),
 (48, 'Pine Ridge Square', '15 Pine Ridge Sq', 'Boulder', 'CO', '80302',
  'Noah Fischer', 'Emma Walsh', NULL, '(303) 555-0151', '(303) 555-0152',
  14, 17, 5, '60 days written notice', '2,050',
  'None', 90, NULL,
  210, 'Option to extend 3 years at the current rent plus CPI.', 260,
  'Liability certificate due with every renewal of the policy.', 120,
  'Landlord to replace the roof membrane this year.', 7, 0),
 (55, 'Sunset Village', '6100 Sunset Blvd', 'Los Angeles', 'CA', '90028',
  'Isabel Torres', 'Kenji Sato', 'Mia Johnson', '(323) 555-0161', '(323) 555-0162',
  18, 1, 15, '12 months written notice', '7,200',
  'Monthly', 14, 330,
  280, 'Two 10-year options; rent reset to market at each.', 58,
  'Earthquake insurance required by the landlord.', 500,
  'Parking structure shared with the cinema: review the cost split.', 7, 1),
 (63, 'Oak Hollow Marketplace', '320 Oak Hollow Dr', 'Atlanta', 'GA', '30303',
  'Jamal Washington', 'Olivia Grant', 'Peter Huang', '(404) 555-0171', '(404) 555-0172',
  23, 24, 10, '180 days written notice', '4,300',
  'Annually', 90, NULL,
  365, 'One 10-year option at 90% of fair market rent.', 150,
  'Flood insurance for the loading dock area.', 24,
  'Confirm the percentage rent statement with the landlord.', 7, 2),
 (77, 'Bayview Crossing', '45 Bayview Ave', 'Tampa', 'FL', '33602',
  'Rachel Adams', 'Victor Chen', NULL, '(813) 555-0181', '(813) 555-0182',
  30, 11, 5, '90 days written notice', '2,700',
  'Quarterly', 41, 160,
  450, 'Renewal at market rent after an appraisal.', 320,
  'Windstorm deductible 5%: keep a reserve.', 700,
  'Hurricane shutters inspection.', 3, 3),
 (89, 'Prairie Wind Center', '7700 Prairie Wind Rd', 'Omaha', 'NE', '68102',
  'Ethan Brooks', 'Lily Park', 'Sam Osei', '(402) 555-0191', '(402) 555-0192',
  38, 26, 10, '6 months written notice', '6,100',
  'Monthly', 72, NULL,
  540, 'Two 5-year options at fixed 2.5% yearly increases.', 29,
  'General liability $1,000,000 per occurrence.', 200,
  'Expansion into the neighbouring unit offered by the landlord.', 7, 1),
 (102, 'Copper Canyon Plaza', '1801 Copper Canyon Rd', 'Tucson', 'AZ', '85701',
  'Ava Martinez', 'Noel Dubois', NULL, '(520) 555-0103', NULL,
  50, 14, 7, '120 days written notice', '3,400',
  'Semi-Annually', 120, 280,
  650, 'Renewal option lapses if not exercised in writing.', 400,
  'Tenant improvements insured at replacement cost.', 900,
  'Landlord plans a new pad site in the parking lot.', NULL, 0),
 (115, 'Willow Bend Shops', '60 Willow Bend', 'Albany', 'NY', '12207',
  'Henry Walker', 'Zoe Mitchell', 'Ivan Petrov', '(518) 555-0113', '(518) 555-0114',
  64, 7, 10, '180 days written notice', '4,950',
  'Monthly', 7, 600,
  800, 'Two 5-year options at 95% of fair market rent.', 500,
  'Boiler and machinery cover required.', 60,
  'Real estate tax appeal filed by the landlord.', 7, 3);

INSERT INTO Stores (StoreName, StoreNumber, Street, City, State, ZipCode, Region, Manager, AsstManager, ThirdKey,
                    Phone, Fax, Icon, LeaseDate, CommenceDate, LeaseEndDate, InitialTerm,
                    Renewal, RenewalDate, RenewalForReport, TerminationNotice, SquareFoot,
                    SalesReporting, SalesReportDueDate, SalesReportAnnualDueDate,
                    InsuranceInfo, InsuranceDate, InsuranceForReport, OtherNotes, OtherDate, OtherForReport,
                    ReminderBitMask, LandLordID)
SELECT Name, No, Street, City, State, Zip, 'USA', Manager, Asst, Third,
       Phone, Fax, '',
       datetime(LeaseEnd, printf('-%d years', Term), '-2 months'),
       datetime(LeaseEnd, printf('-%d years', Term)),
       datetime(LeaseEnd),
       Term,
       RenewalText, datetime(Today, printf('+%d days', RenewalIn)), RenewalText, Notice, SqFt,
       Reporting, datetime(Today, printf('+%d days', DueIn)),
       CASE WHEN AnnualIn IS NULL THEN NULL ELSE datetime(Today, printf('+%d days', AnnualIn)) END,
       InsuranceText, datetime(Today, printf('+%d days', InsuranceIn)), InsuranceText,
       OtherText, datetime(Today, printf('+%d days', OtherIn)), OtherText,
       Mask, LandLord
FROM (SELECT StorePlan.*, Build.Today,
             date(Build.Today, 'start of month', printf('+%d months', EndMonth), printf('+%d days', EndDay))
                 AS LeaseEnd
      FROM StorePlan, Build)
ORDER BY No;

-- Rents for every calendar year the lease touches, from the commencement
-- year to the year it ends (so the current year always has figures): the
-- first year's monthly amounts and their yearly increase, and the
-- percentage rent of the store.
CREATE TEMP TABLE RentPlan (
    No INTEGER, Base INTEGER, BaseStep INTEGER, CAM INTEGER, CAMStep INTEGER, Tax INTEGER, TaxStep INTEGER,
    PercentType TEXT, Rate TEXT, BreakPoint INTEGER
);

INSERT INTO RentPlan VALUES
 (3,   4500, 150,  650, 25, 420, 15, '% of Sales', '5.000%',  60000),
 (7,   3800, 100,  500, 20, 380, 10, 'Flat Rate',  '$350.00', NULL),
 (12,  6200, 200,  820, 30, 610, 20, 'None',       NULL,      NULL),
 (21,  2950,  75,  410, 15, 300, 10, '% of Sales', '6.500%', 120000),
 (34,  5400, 180,  700, 25, 520, 15, 'Flat Rate',  '$500.00', NULL),
 (48,  3300,  90,  460, 15, 340, 10, '% of Sales', '4.000%',  45000),
 (55,  7800, 250, 1100, 40, 760, 25, 'None',       NULL,      NULL),
 (63,  4100, 120,  560, 20, 410, 12, '% of Sales', '7.000%',  70000),
 (77,  3600, 100,  480, 18, 350, 10, 'Flat Rate',  '$275.00', NULL),
 (89,  5000, 160,  690, 22, 480, 15, '% of Sales', '5.500%',  80000),
 (102, 4700, 140,  630, 20, 455, 14, 'None',       NULL,      NULL),
 (115, 6900, 210,  940, 35, 680, 20, 'Flat Rate',  '$650.00', NULL);

CREATE TEMP TABLE LeaseYear AS
WITH RECURSIVE y (StoreID, No, Year, LastYear, k) AS (
    SELECT StoreID, StoreNumber, CAST(strftime('%Y', CommenceDate) AS INTEGER),
           CAST(strftime('%Y', LeaseEndDate) AS INTEGER), 0
    FROM Stores
    UNION ALL
    SELECT StoreID, No, Year + 1, LastYear, k + 1 FROM y WHERE Year < LastYear
)
SELECT y.StoreID, y.Year, y.k, RentPlan.* FROM y JOIN RentPlan ON RentPlan.No = y.No;

INSERT INTO BaseRate (StoreID, Year, MonthTotal, YearTotal)
SELECT StoreID, Year, Base + BaseStep * k, 12 * (Base + BaseStep * k) FROM LeaseYear ORDER BY StoreID, Year;

INSERT INTO CAMRate (StoreID, Year, MonthTotal, YearTotal)
SELECT StoreID, Year, CAM + CAMStep * k, 12 * (CAM + CAMStep * k) FROM LeaseYear ORDER BY StoreID, Year;

INSERT INTO TaxRate (StoreID, Year, MonthTotal, YearTotal)
SELECT StoreID, Year, Tax + TaxStep * k, 12 * (Tax + TaxStep * k) FROM LeaseYear ORDER BY StoreID, Year;

INSERT INTO PercentageRate (StoreID, Year, PercentType, Rate, BreakPoint)
SELECT StoreID, Year, PercentType, Rate, BreakPoint FROM LeaseYear ORDER BY StoreID, Year;

-- Monthly sales: each store's average month, a seasonal curve with the
-- holidays on top, 3% growth a year and a little store-and-month noise.
CREATE TEMP TABLE SalesPlan (No INTEGER, Average INTEGER);
INSERT INTO SalesPlan VALUES
 (3, 65000), (7, 48000), (12, 82000), (21, 39000), (34, 71000), (48, 52000),
 (55, 95000), (63, 74000), (77, 44000), (89, 88000), (102, 58000), (115, 79000);

CREATE TEMP TABLE Season (Month INTEGER, Factor REAL);
INSERT INTO Season VALUES
 (1, 0.82), (2, 0.78), (3, 0.90), (4, 0.95), (5, 1.00), (6, 0.97),
 (7, 0.94), (8, 1.02), (9, 0.93), (10, 0.98), (11, 1.18), (12, 1.53);

CREATE TEMP TABLE MonthSales AS
WITH RECURSIVE years (Year) AS (
    SELECT CAST(strftime('%Y', Today) AS INTEGER) - 2 FROM Build
    UNION ALL
    SELECT Year + 1 FROM years, Build WHERE Year < CAST(strftime('%Y', Today) AS INTEGER) + 1
)
SELECT Stores.StoreID, years.Year, Season.Month,
       round(SalesPlan.Average * Season.Factor
             * (1 + 0.03 * (years.Year - CAST(strftime('%Y', Build.Today) AS INTEGER)))
             * (1 + ((Stores.StoreNumber * 37 + years.Year * 11 + Season.Month * 7) % 13 - 6) / 100.0), 2)
           AS Amount
FROM Stores JOIN SalesPlan ON SalesPlan.No = Stores.StoreNumber, years, Season, Build;

INSERT INTO Sales (StoreID, Year, January, February, March, April, May, June, July, August, September, October,
                   November, December, Total)
SELECT StoreID, Year,
       sum(CASE Month WHEN 1 THEN Amount END), sum(CASE Month WHEN 2 THEN Amount END),
       sum(CASE Month WHEN 3 THEN Amount END), sum(CASE Month WHEN 4 THEN Amount END),
       sum(CASE Month WHEN 5 THEN Amount END), sum(CASE Month WHEN 6 THEN Amount END),
       sum(CASE Month WHEN 7 THEN Amount END), sum(CASE Month WHEN 8 THEN Amount END),
       sum(CASE Month WHEN 9 THEN Amount END), sum(CASE Month WHEN 10 THEN Amount END),
       sum(CASE Month WHEN 11 THEN Amount END), sum(CASE Month WHEN 12 THEN Amount END),
       round(sum(Amount), 2)
FROM MonthSales GROUP BY StoreID, Year ORDER BY StoreID, Year;

-- Calendar reminders, one per store and kind, as the store editor writes
-- them: the renewal, insurance and other reminders only when the store's
-- mask shows them (Null shows all three), the periodic sales report unless
-- the store reports none, the annual one only when it has a date.
INSERT INTO CalInfo (Date, StoreID, Type, info, Image)
SELECT CAST(julianday(substr(Day, 1, 10)) - julianday('1900-01-01') AS INTEGER), StoreID, Kind, Info, Kind
FROM (
    SELECT RenewalDate AS Day, StoreID, '1' AS Kind, 'Renewal: ' || StoreName AS Info, StoreNumber
    FROM Stores WHERE ifnull(ReminderBitMask, 7) & 1
    UNION ALL
    SELECT InsuranceDate, StoreID, '2', 'Insurance: ' || StoreName, StoreNumber
    FROM Stores WHERE ifnull(ReminderBitMask, 7) & 2
    UNION ALL
    SELECT SalesReportDueDate, StoreID, '3', SalesReporting || ' Sales Report: ' || StoreName, StoreNumber
    FROM Stores WHERE SalesReporting <> 'None'
    UNION ALL
    SELECT OtherDate, StoreID, '4', 'Other: ' || StoreName, StoreNumber
    FROM Stores WHERE ifnull(ReminderBitMask, 7) & 4
    UNION ALL
    SELECT SalesReportAnnualDueDate, StoreID, '5', 'Annual Sales Report : ' || StoreName, StoreNumber
    FROM Stores WHERE SalesReportAnnualDueDate IS NOT NULL
)
ORDER BY StoreNumber, Kind;

DROP TABLE temp.StorePlan;
DROP TABLE temp.RentPlan;
DROP TABLE temp.LeaseYear;
DROP TABLE temp.SalesPlan;
DROP TABLE temp.Season;
DROP TABLE temp.MonthSales;
