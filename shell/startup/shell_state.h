// The shell's process-wide objects while the program runs. They live in
// SolvikaStart's scope; outside it (before the start, after the shutdown)
// every pointer is null and the exports that need them do nothing.
#pragma once

namespace shell {

class MainForm;
class PopupForm;
class PluginHost;

struct ShellState {
  MainForm* mainForm = nullptr;
  PopupForm* popup = nullptr;  // made by the delayed start step
  PluginHost* plugins = nullptr;
};

ShellState& Shell();

}  // namespace shell
