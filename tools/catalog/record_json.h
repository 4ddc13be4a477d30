// One catalogue record as one JSON Lines object: the eight texts (UTF-8 here,
// GBK in the catalogue), the four integers, and for dumps the record's index
// and its two addresses.
#pragma once
#include <cstddef>
#include <string>

#include "player/catalogue/movie_record.h"
#include "tools/catalog/json_line.h"

namespace kavuno::tool {

// {"index":..,"file":..,"title":..,"actor":..,"parent":..,"server":..,"kind":..,
//  "path":..,"id":..,"playable":..,"detail":..,"player":..,"video":..,
//  "stream":..,"details":..}
// `exact` is set to false when a text held bytes that are not GBK characters
// (a damaged or hand-made file): they print as replacement characters, which
// build then refuses, so such a dump does not make the same file again.
std::string RecordToJsonLine(const catalogue::MovieRecord& record, std::size_t index, bool& exact);

// The plain fields a JSON object describes. Missing keys leave a field empty
// or 0; "index", "stream" and "details" are ignored. Refused, with `error`
// set: an unknown key, a value of the wrong type, an integer outside 32 bits,
// a text GBK cannot hold, and a text holding U+0000 or U+000C (the first
// would cut the text short on screen, the second is stored as a zero byte,
// which ends the text when it is read back).
bool RecordFieldsFromJson(const JsonObject& object, catalogue::RecordFields& fields, std::string& error);

}  // namespace kavuno::tool
