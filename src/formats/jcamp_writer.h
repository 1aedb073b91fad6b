// JCAMP-DX 4.24 export of an infrared transmittance spectrum.
//
// File layout (8-bit text, CR LF line ends, each label followed by a blank):
//   ##TITLE= Comment                 ##XUNITS= 1/CM
//   ##JCAMP-DX= 4.24                 ##YUNITS= TRANSMITTANCE
//   ##DATA TYPE= INFRARED SPECTRUM   ##XFACTOR= 1.0
//   ##$ASDF FORM= FIX | DIFDUP       ##YFACTOR= 0.00001
//   ##ORIGIN= PERKIN-ELMER 1600|2000 FT-IR
//   ##OWNER= OperatorName            ##FIRSTX= FirstX (1 decimal)
//   ##DATE= AcqDate                  ##LASTX= LastX (1 decimal)
//   ##TIME= AcqTime                  ##NPOINTS= NPoints
//   ##SPECTROMETER/DATA SYSTEM= ...  ##FIRSTY= TransY[0] (5 decimals)
//   ##INSTRUMENT PARAMETERS= n scans ##MAXY= / ##MINY= (5 decimals)
//   ##DATA PROCESSING=               ##XYDATA= (X++(Y..Y))
//   data lines, then "##END= ".
// The "1600" lines are written for Model 1 only; anything else (also 0, an
// imported spectrum) gives "2000". Ordinates are round(TransY x 100000),
// halves to even, so YFACTOR 0.00001 gives back the fraction.
//
// FIX:    X (RealToText41) and up to six integers, each after one blank.
// DIFDUP: X, the SQZ value of the line's first point, then DIF tokens with
//         DUP counts for runs of equal differences. A line is closed once it
//         holds more than 70 characters; the next line repeats the last
//         ordinate as its SQZ value (the Y check) and starts with a fresh
//         DIF token.
#pragma once

#include <string>

#include "core/save_result.h"
#include "core/spectrum.h"

namespace tesvar {

enum class JcampForm { kFix, kDifDup };

// The whole JCAMP-DX text for the record (no I/O, no stamping).
std::string BuildJcampText(const Spectrum& spectrum, JcampForm form);

// Stamps ModDate/ModTime as the SP writer does, then writes the file safely
// (SaveFile: a file that cannot be created is "Could not create file PATH";
// the stamp has been made whatever the outcome).
SaveResult WriteJcampFile(const std::string& path, Spectrum& spectrum, JcampForm form);

}  // namespace tesvar
