// The schema of the shipped "Dates.mdb": the table TabData with the five
// columns both programs use, and the indexes behind their two queries.
// Shared by makedb and by the tests that need an empty database.
#pragma once

namespace DatesSchema
{

// Dates are Calendar day numbers, Annually is -1 (yes) or 0 (no), though
// other tools may store a yes as 1. The reminder's "(Annually <> 0 AND
// PsevdoDate) OR (Annually = 0 AND Date)" is answered from the two
// composite indexes, one per side of the OR (PsevdoDate first, since a yes
// is no single number); the editor's list reads TabData_Date in order
// instead of sorting. WAL mode is stored in the file, so it is set here
// once: the programs' connections never change it, and the reminder never
// writes the file.
inline constexpr const char *statements = R"sql(
CREATE TABLE TabData (
    Date DATETIME,
    Commentary VARCHAR(150),
    Annually YESNO,
    PsevdoDate DATETIME,
    Muzik INTEGER
);
CREATE INDEX TabData_PsevdoDate_Annually ON TabData (PsevdoDate, Annually);
CREATE INDEX TabData_Annually_Date ON TabData (Annually, Date);
CREATE INDEX TabData_Date ON TabData (Date);
PRAGMA journal_mode = WAL;
)sql";

} // namespace DatesSchema
