// Field checks of the point form, numbers written into fields, and the two message boxes.
// A failed check shows no message: it sounds the warning, puts the focus on the field and
// reports the failure. All checks read from the current dialog.
#pragma once

#include <cstdint>
#include <string>

#include "convert/convert.h"

namespace geoid {

/// Runs the check of `field` (point form) with its bounds and stores the value into its
/// variable of `point`. False when the field fails; fields without a check pass.
bool check_field(int field, convert::Coordinates& point);
/// A real number: the first item of the text (ending at a blank, comma or slash) within
/// [lowest, highest]; `value` receives it when it is a number.
void check_real(int field, double& value, double lowest, double highest, std::int32_t& error);
/// An integer (blanks around ignored, optional sign, digits only) within [lowest, highest].
void check_integer(int field, std::int32_t& value, std::int32_t lowest, std::int32_t highest, std::int32_t& error);
/// A sign field: "+" or "-" as its first character.
void check_vorzeichen(int field, char& sign, std::int32_t& error);

/// Shows why field `id` of `dialog` failed its check: on the reason line of its column (or of
/// the file form) and as its description for a screen reader.
void show_reason(int dialog, int id);
/// Empties the reason lines and descriptions of a dialog's fields.
void clear_reasons(int dialog);

/// Writes `value` by a format text such as "(f12.3)" into a field of the current dialog.
void put_string_real(int field, double value, const std::string& format);
/// Shows why field `id` of `dialog` failed its check: on the reason line of its column (or of
/// the file form) and as its description for a screen reader.
void show_reason(int dialog, int id);
/// Empties the reason lines and descriptions of a dialog's fields.
void clear_reasons(int dialog);

/// Writes `value` by a format text such as "(i2)" into a field of the current dialog.
void put_string_integer(int field, std::int32_t value, const std::string& format);

/// The error box "Fehler" with the message; then `dialog` is current again (-1: none).
void write_errcode(int dialog, const std::string& message);
/// The information box "Berechnung beendet"; then `dialog` is current again (-1: none).
void write_message(int dialog, const std::string& message);

}  // namespace geoid
