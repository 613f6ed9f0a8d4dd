// The point form (dialog 101): one point typed in one of five coordinate systems, chosen by a
// radio button, is checked, converted into all five, queried in the model and shown in all
// five with the height anomaly N and the normal height H.
#pragma once

#include "app/fields.h"

namespace geoid {

/// The system whose radio button is selected, found by the buttons' numbers.
System selected_system();
/// Makes the fields of system `s` the only enabled input fields and puts the focus on the
/// first of them; System::None leaves every input field disabled. Contents stay.
void input_enable(System s);
/// Checks the fields of system `s` in table order, each stored into a copy of `point`; stops
/// at the first that fails. The values are the point with that system's fields as typed.
Reading<convert::Coordinates> readfields(System s, const convert::Coordinates& point);
/// Writes every system and, when `with_results` and N has a value, N and H into the form;
/// the sexagesimal fields show the normalised form of the decimal angles (also in the record).
void writefields(Koordinaten& k, bool with_results);

/// Field-change event of the point form: a radio button that became selected (field1 ==
/// field2), or text the user typed into field1 (field2 == 0), which empties N and H and, while
/// the form shows a computed point (`point_shown`, then cleared), the other systems' fields.
void point_form_field(bool& point_shown, int field1, int field2);
/// Push button of the point form in the point window of `w` ("Berechnen").
void point_form_button(Koordinaten& k, Windows& w, int button);

}  // namespace geoid
