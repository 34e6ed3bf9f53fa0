#include "watch/icon_words.h"

#include <string>

namespace kestrum {

IconLook IconLookFor(std::int16_t width, Source from, bool paused) {
    IconLook look;
    look.tip = "Kestrum: navigation pane " + std::to_string(width) + " pixels (" + std::string(SourceWords(from)) + ")";
    if (paused) look.tip += ", paused";
    look.menu.push_back({"&Apply now", IconCommand::ApplyNow});
    look.menu.push_back({"&Pause", IconCommand::Pause, paused});
    if (from == Source::UserWidth) look.menu.push_back({"&Forget my width", IconCommand::Forget});
    look.menu.push_back({"&Open Kestrum", IconCommand::Open, false, true});
    look.menu.push_back({"E&xit", IconCommand::Exit});
    return look;
}

std::string_view TroubleNotice(PaneTrouble trouble) {
    switch (trouble) {
        case PaneTrouble::HigherRights:
            return "Start Kestrum as administrator to set the pane of a client started as administrator";
        case PaneTrouble::OtherAccount:
            return "Start Kestrum as the user the client runs as to set the pane of a client started under another "
                   "account";
        case PaneTrouble::NotAnswering:
            return "A client is not answering: its pane gets the width when it answers again, or when you "
                   "close the client and open it again";
        case PaneTrouble::SeveralPanes:
            return "Kestrum leaves a client with several navigation panes alone: drag the edge of the one "
                   "you use to the width you want";
    }
    return {};
}

}  // namespace kestrum
