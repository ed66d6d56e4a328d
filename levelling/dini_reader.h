#pragma once

// Reading the M5 records of Trimble's DiNi digital levels, one record a line:
//
//   For M5|Adr     4|KD1     BM01       08:01:121  1|Rb        1.52300 m   |HD         25.340 m   |
//   |
//
// Between "|": the format, the address, the information block (its type,
// "KD1" or "TO", in columns 18 to 20, then 27 characters of information),
// and three value blocks, each a type identifier, a value and its unit. An
// "e" after the last "|" marks a record the instrument found in error: it
// is passed over and counted. Lines end as GSI lines do (convert/gsi_words.h).
//
// Text records (TO):
//   Start-Line ORDER N   starts a line levelled in ORDER (BF, aBF, BFFB,
//                        aBFFB, BFBF, BBFF: see OrderNamed)
//   End-Line             ends it: its last foresight is its closing bench mark
//   Cont-Line            continues the open line after an interruption
//   Measurement repeated drops the reading before it
//   Station repeated     drops the setup before it
// Other texts (the file name, "Intermediate sight.", settings) are passed
// over.
//
// Point records (KD1 and the like): the point number in columns 21 to 29,
// right-aligned, then the values:
//   Rb, Rf   a backsight or foresight reading, with its distance HD in the
//            same record
//   Rz, R    an intermediate sight and a single reading: passed over, counted
//   Z        in a record without a reading before the line's first reading,
//            the bench mark the line starts on; elsewhere a height the
//            instrument computed, passed over
//   Sh, dz, Db, Df, sR and the rest: the instrument's sums and checks,
//            passed over
// Units as each value block writes them: m, ft or usft; the decimals as
// written. Records in the DiNi's other languages (Lr, Lv, E) are not read.

#include <string_view>

#include "levelling/levelled_file.h"

namespace quarrow {

// Throws ConvertError as ReadLevelledFile does; also for a record that is
// not an M5 record, a reading outside a line, a line that is never ended or
// that continues a line started in another file.
LevelledFile ReadDiniFile(std::string_view bytes);

// True when the first line that holds anything starts "For M5|".
bool IsDiniFile(std::string_view bytes);

}  // namespace quarrow
