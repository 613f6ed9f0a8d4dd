// The file form (dialog 102): a coordinate file and a result file chosen through file
// dialogs, the formats and point-number options, the computation of the whole file and the
// two viewers.
#pragma once

#include "app/fields.h"
#include "app/koordinaten.h"

namespace geoid {

/// readfields("Date"): the format lists, the options for point lists, the header lines
/// (0..99, empty for none) and, when its box is ticked, the length of the point number (1..30);
/// a number out of bounds sounds the warning and takes the focus. Into a copy of `job`. When
/// the box is not ticked the length stays as it was, unchecked.
Reading<filecalc::Job> readfields(const filecalc::Job& job);

/// After a change of the file form: the list of heights enabled unless the input is XYZ, and
/// the preview of the input file as the form's format and options read it.
void update_file_form(const Koordinaten& k);

/// Field-change event of the file form: typing into a number field clears its reason; every
/// change updates the preview.
void file_form_field(const Koordinaten& k, int field1, int field2);

/// Push button `button` of the file form.
void file_form_button(Application& app, int button);

/// Shows the file names kept in the record in the form's two name fields: a form opened anew
/// shows the files that "Berechnen" and the view buttons will use.
void show_file_names(const Koordinaten& k);

/// How long a computation runs before its progress dialog appears (tests shorten it).
void set_progress_delay(int milliseconds);

}  // namespace geoid
