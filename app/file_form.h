// The file form (dialog 102): a coordinate file and a result file chosen through file
// dialogs, the formats and point-number options, the computation of the whole file and the
// two viewers.
#pragma once

#include "app/fields.h"
#include "app/koordinaten.h"

namespace geoid {

/// readfields("Date"): the format lists, the check box and, when it is ticked, the length of
/// the point number (1..30; otherwise the warning and the focus on the field), into a copy of
/// `job`. When the box is not ticked the length stays as it was, unchecked.
Reading<filecalc::Job> readfields(const filecalc::Job& job);

/// Field-change event of the file form: typing into the point-number length clears its reason.
void file_form_field(int field1, int field2);

/// Push button `button` of the file form.
void file_form_button(Application& app, int button);

/// Shows the file names kept in the record in the form's two name fields: a form opened anew
/// shows the files that "Berechnen" and the view buttons will use.
void show_file_names(const Koordinaten& k);

/// How long a computation runs before its progress dialog appears (tests shorten it).
void set_progress_delay(int milliseconds);

}  // namespace geoid
