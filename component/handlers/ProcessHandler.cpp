#include "handlers/ProcessHandler.h"

#include "frame/FormBinding.h"

void ProcessHandler::FormProcess(const QVariant& frm) { bindFormEventHandler(frm, m_frmProcess, objEvent); }
