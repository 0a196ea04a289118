#pragma once
// Tabvalid: checks a value typed into a coded field against the edit mask of its picture type
// before the screen asks the server about it.

#include <string>

#include "shared/varnoke.h"

namespace data {
class TDataSource;
}

namespace Tabvalid {

enum TValidOption { voAceitaVazio, voSemMensagem };
using TValidOptions = unsigned;  // a set of TValidOption bits

// Checks that `value` fills every position of the picture type's edit mask with a character
// that fits it (a product tree code has all its digits). A value that does not is reported
// with a clear message (MensErro with abort). `source` names the data set the value belongs
// to, `options`, `filter` and `mandatory` are the family's call convention; the check does not
// change `value`.
void ValidEx(data::TDataSource* source, Varnoke::TPictType type, std::string& value,
             TValidOptions options, const std::string& filter, bool mandatory);

}  // namespace Tabvalid
