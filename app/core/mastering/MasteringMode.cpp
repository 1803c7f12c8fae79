#include "MasteringMode.h"

#include "MasteringTexts.h"

namespace procedures {

namespace {

// The main window's view that shows one group.
constexpr int GroupView = 1;

} // namespace

QString MasteringMode::word() const {
    return m_zero ? texts::ZeroWord : texts::MasterWord;
}

QString MasteringMode::channelDialogCaption(int viewMode) const {
    return word() +
           (viewMode == GroupView ? texts::ChannelsByGroupCaption : texts::ChannelsCaption);
}

QString MasteringMode::groupDialogCaption() const {
    return word() + texts::ChannelsByGroupCaption;
}

QString MasteringMode::cannotCaption() const {
    return texts::Cannot + word();
}

QString MasteringMode::completedText() const {
    return word() + texts::Completed;
}

} // namespace procedures
