#include "WizardSteps.h"

#include <algorithm>

void WizardSteps::setStep(int page) {
    page = std::clamp(page, 0, PageCount - 1);
    if (page == Confirm)
        m_finishAllowed = false;
    if (page == Finished)
        m_finishAllowed = true;
    m_page = page;
}

WizardSteps::Buttons WizardSteps::buttons() const {
    Buttons b;
    b.finish = m_finishAllowed;
    switch (m_page) {
    case Introduction:
        b.next = true;
        break;
    case ChoosePort:
        // Coming back to the port page keeps a passed test good for Next.
        b.back = true;
        b.next = m_testPassed;
        break;
    case Finished:
        b.back = true;
        break;
    default:
        b.back = true;
        b.next = true;
        break;
    }
    return b;
}
