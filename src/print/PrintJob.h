#pragma once
// One print job: the wait window, one document with one page, and the printing system's
// errors shown in the program's message box. The job never leaves a document open.

#include <functional>

class IPrintTarget;
class IUserDialogs;
class QImage;
class TAnnulerForm;
struct TPrintLayout;

enum class TPrintResult { Printed, Cancelled, Failed };

// Lets the user interface handle what is pending (paints, a click on Cancel); tests replace it.
using TEventPump = std::function<void()>;
void ProcessPendingEvents();

// Shows the wait window, lets pending events run (so it is painted and Cancel can be pressed),
// then draws the page band by band, letting pending events run between two bands, and hands it
// to the printing system unless cancelled. Cancel during the page aborts the open document.
TPrintResult RunPrintJob(TAnnulerForm& wait, IPrintTarget& target, const QImage& image,
                         const TPrintLayout& layout, IUserDialogs& dialogs,
                         const TEventPump& pump = ProcessPendingEvents);
