// The answers of the message boxes (see answers.h).
#include "shell/answers.h"

#include "resources/resource.h"

namespace {

struct BoxAnswers {
    int n;
    int buttons;    // ids 1 to buttons
    int safe;
};

const BoxAnswers kBoxes[] = {
    {MSG_COPY_FAILED, 1, IDC_ANSWER_1},
    {MSG_KEEP_SETTINGS, 2, ANSWER_KEEP_SETTINGS},
    {MSG_CONFIRM_CANCEL, 2, 2},                   // go on
    {MSG_CANNOT_CREATE_DIR, 1, IDC_ANSWER_1},
    {MSG_CREATE_DIR, 2, 2},                       // do not create
    {MSG_LOW_DISK_SPACE, 3, ANSWER_CHANGE_SELECTION},
    {MSG_INSERT_DISK, 2, ANSWER_CANCEL_DISK},
    {MSG_EXPAND_FAILED, 3, ANSWER_ABORT_COPY},
};

}  // namespace

int MessageAnswer(int n, int result)
{
    for (const BoxAnswers& box : kBoxes) {
        if (box.n == n)
            return result >= 1 && result <= box.buttons ? result : box.safe;
    }
    // A box with only an OK button (the reports added since) has nothing
    // to choose.
    return result >= IDC_ANSWER_1 && result <= IDC_ANSWER_3 ? result : IDC_ANSWER_1;
}
