// Resource numbers that both programs give the same meaning, because common/ code loads
// them: the main frame (menu, icon), the text shown when Windows Sockets cannot start.
// Each program's resource.h includes this header and numbers everything else itself.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

#define IDS_SOCKETS_INIT_FAILED 104
#define IDR_MAINFRAME 128
