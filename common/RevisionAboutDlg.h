// CRevisionAboutDlg: an about box whose version and build date are cut from two revision
// keywords of the program's sources. Each program's CAboutDlg names its template, its two
// text controls and its keywords.
#pragma once

#include "Dialog.h"

class CRevisionAboutDlg : public CDialog {
public:
    struct Keywords {
        int versionId;             // static text that shows the version
        const char* versionSource; // "$Name: ... $"
        int dateId;                // static text that shows the build date
        const char* dateSource;    // "$Date: ... $"
    };

protected:
    CRevisionAboutDlg(UINT templateId, CWnd* parent, const Keywords& keywords)
        : CDialog(templateId, parent), m_keywords(keywords)
    {
    }

    BOOL OnInitDialog() override;

private:
    Keywords m_keywords;
};
