// The four answer buttons both chooser dialogs share (the library's resource
// ids: 2100-2199).
#pragma once

#define IDC_ANSWER_LOAD 2101        // "Загрузить", answer 1
#define IDC_ANSWER_BACKGROUND 2102  // "Загрузить в фоне", answer 2
#define IDC_ANSWER_ADD 2103         // "Добавить в загрузки", answer 3
#define IDC_ANSWER_CANCEL 2104      // "Отмена", answer 0
