// The point form (dialog 101): one point typed in one of five coordinate systems, chosen by a
// radio button, is checked, converted into all five, queried in the model and shown in all
// five with the height anomaly N and the normal height H.
#pragma once

#include <string_view>

#include "app/fields.h"

namespace geoid {

/// The system whose radio button is selected, found by the buttons' numbers.
System selected_system();
/// Makes the fields of system `code` the only enabled input fields and puts the focus on the
/// first of them; any other code leaves every input field disabled. Contents stay.
void input_enable(std::string_view code);
/// Checks and stores the fields of system `code` in table order; stops at the first that
/// fails (field_error 1). "Date" reads the file form instead.
void readfields(std::string_view code);
/// Writes every system and, when `with_results` and N has a value, N and H into the form;
/// the sexagesimal fields show the normalised form of the decimal angles.
void writefields(bool with_results);

/// Field-change event of the point form: a radio button that became selected.
void point_form_field(int field1, int field2);
/// Push button of the point form ("Berechnen").
void point_form_button(int button);

}  // namespace geoid
