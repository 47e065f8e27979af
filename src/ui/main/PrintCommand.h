#pragma once
// File > Print: opens the print dialog over the main window with the real print system
// behind it, and keeps what the dialog leaves for the rest of the run.
#include "ui/dialogs/frmStampa.h"

#include <QObject>

namespace vt {

class Form1;
struct AppState;

// The print system as the dialog sees it, on CUPS and the main window's printer.
PrintDialogContext systemPrintContext(Form1 &form, AppState &state, PrintDialogMemory &memory);

class PrintCommand : public QObject
{
    Q_OBJECT
public:
    PrintCommand(Form1 &form, AppState &state);

    // The context the next opening uses; tests replace parts of it.
    std::function<PrintDialogContext()> makeContext;

    void open();
    PrintDialogMemory &memory() { return m_memory; }

private:
    Form1 &m_form;
    AppState &m_state;
    PrintDialogMemory m_memory;
};

} // namespace vt
