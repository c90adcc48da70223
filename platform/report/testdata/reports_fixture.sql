-- A small fixed database for the report tests, read with the report clock at
-- Friday 31 January 2003: leases, reminders and rents on both sides of the
-- report periods, a landlord without stores, a store whose landlord is 0,
-- a negative year total, Null values, and texts that HTML must escape.

INSERT INTO LandLord (LandLordID, Company, Street, City, State, ZipCode, Contact, Phone, Fax) VALUES
 (1, 'Meridian Property Group', '400 Commerce Way' || char(13, 10) || 'Suite 1200', 'Seattle', 'WA', '98101',
  'Dana Whitfield', '(206) 555-0148', '(206) 555-0149'),
 (2, 'O''Brien Realty <Partners>', '233 S Wacker Dr', 'Chicago', 'IL', '60606', 'Kevin O''Brien',
  '(312) 555-0172', NULL),
 (3, 'Granite Peak Management', '1700 Lincoln St', 'Denver', 'CO', '80203', 'Thomas Reyes', '(303) 555-0190',
  NULL);

INSERT INTO Stores (StoreID, StoreName, StoreNumber, Street, City, State, ZipCode, LeaseEndDate, InitialTerm,
                    TerminationNotice, RenewalDate, RenewalForReport, InsuranceDate, InsuranceForReport, OtherDate,
                    OtherForReport, LandLordID) VALUES
 (1, 'Harbor Point', 101, '1120 Alaskan Way', 'Seattle', 'WA', '98101', '2003-02-15 00:00:00', 10,
  '180 days written notice', '2003-02-20 00:00:00', 'One 5-year option at 95% of market rent.',
  '2003-03-01 00:00:00', 'Liability $2,000,000; certificate every year.', '2003-02-05 00:00:00',
  'Storefront repainting' || char(13, 10) || 'landlord pays half', 1),
 (2, 'Riverside "Plaza" <East> & Co', 102, '455 River Rd', 'Portland', 'OR', '97201', '2003-04-30 00:00:00', 5,
  'Notice by <certified> mail & e-mail', '2003-06-01 00:00:00', 'Two options', '2003-01-31 00:00:00',
  'Renew today', '2004-01-15 00:00:00', 'Next year', 1),
 (3, 'Café Nord', 103, '9 Lake St', 'Minneapolis', 'MN', '55401', '2003-01-30 00:00:00', NULL, NULL, NULL, NULL,
  NULL, NULL, NULL, NULL, 0),
 (4, 'Desert Sun', 104, '77 Camelback Rd', 'Phoenix', 'AZ', '85012', '2003-03-15 00:00:00', 15,
  '90 days', '2003-03-10 00:00:00', 'Option to extend 10 years', '2003-07-31 00:00:00', 'Property insurance',
  '2003-04-30 00:00:00', 'Roof inspection', 2);

INSERT INTO BaseRate (StoreID, Year, MonthTotal, YearTotal) VALUES
 (1, 2001, 1000, 12000), (1, 2002, 1100, 13200), (1, 2003, 1200, 14400.5),
 (2, 2002, 2000, 24000), (2, 2003, 2100, 25200),
 (4, 2002, -102.875, -1234.5), (4, 2003, 500, 6000);

INSERT INTO CAMRate (StoreID, Year, MonthTotal, YearTotal) VALUES
 (1, 2002, 100, 1200), (1, 2003, 110, 1320), (2, 2003, 90.25, 1083), (4, 2002, 75, 900);

INSERT INTO TaxRate (StoreID, Year, MonthTotal, YearTotal) VALUES
 (1, 2002, 50, 600), (2, 2002, 40, 480), (2, 2003, 45, 540), (4, 2003, 1000.01, 12000.12);

INSERT INTO PercentageRate (StoreID, Year, PercentType, Rate, BreakPoint) VALUES
 (1, 2002, 'Flat Rate', '$500.00', 250000), (1, 2003, '% of Sales', '5.000%', 1500000.5),
 (2, 2003, 'Flat Rate', '$750.00', 300000), (4, 2002, 'None', '', NULL), (4, 2003, '% of Sales', '6.500%', 98000);
