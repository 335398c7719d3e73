// The access management dialog (window code 2). Placeholder until the
// access windows are built: the dialog is not shown.
namespace dialogs {
void ShowAccessManagement() {}
}  // namespace dialogs
