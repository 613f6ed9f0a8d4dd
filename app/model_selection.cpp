#include "app/model_selection.h"

#include <algorithm>

#include "app/checks.h"
#include "app/ids.h"
#include "app/places.h"
#include "interp/query.h"
#include "messages/messages.h"
#include "app/shell.h"
#include "toolkit/toolkit.h"
#include "textio/textio.h"
#include "textio/viewer.h"
#include "version.h"
#include "messages/geoid.h"

namespace geoid {

namespace {


void no_model(Koordinaten& k)
{
    k.job.model_file.clear();
    toolkit::windowoutstatusbar(1, "");
}

}  // namespace

void open_model(Application& app)
{
    Koordinaten& k = app.koordinaten;
    no_model(k);
    std::string path;
    toolkit::wselectfile2(messages::geoid::kAllFiles, toolkit::kLoadDialog | toolkit::kPromptOn, path, messages::geoid::kChooseModel);
    if (toolkit::winfodialog(4) != 1) {
        fenster(app, FormMode::Start);
        no_model(k);
        return;
    }
    k.job.model_file = textio::name_of(path);  // where a name enters the program
    const std::string message = messages::model_message(interp::check_model(k.job.model_file), k.job.model_file);
    if (!message.empty()) {
        write_errcode(-1, message);
        fenster(app, FormMode::Start);
        no_model(k);
        return;
    }
    toolkit::windowoutstatusbar(1, k.job.model_file);
    toolkit::wmenusetstate(kItemPointForm, 1, 1);
    toolkit::wmenusetstate(kItemFileForm, 1, 1);
}

void show_info()
{
    toolkit::wdialogload(kInfoDialog);
    // The version line is a field of 30 characters: "Version 1.05  (22.08.12)" and six blanks.
    std::string version = messages::fill(messages::geoid::kInfoVersion, {kGeoidVersion, kGeoidVersionDate});
    version.resize(std::max<std::size_t>(version.size(), 30), ' ');
    const std::string text = std::string("\r\n\r\n") + messages::geoid::kInfoTitleLine + "\r\n\r\n" + version + "\r\n\r\n\r\n" +
                             messages::geoid::kInfoMaker;
    toolkit::wdialogputstring(kInfoText, text);
    toolkit::wdialogshow(-1, -1, 0, 1);
    toolkit::wdialogunload();
}

void show_help(const Koordinaten& k, Viewer& help_viewer)
{
    open_viewer(help_viewer, kHelpViewerDialog, kHelpViewerText, messages::geoid::kHelpTitle, help_text(k.help_file));
}

}  // namespace geoid
