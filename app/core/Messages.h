#pragma once

#include <exception>
#include <string>

namespace pix {

// The window's own texts, the same in every front-end.
inline constexpr const char* kWindowCaption = "Пікселізація...";
inline constexpr const char* kOpenDialogTitle = "Завантажити зображення";
// Description and pattern separated by "|"; each front-end puts them into
// its own dialog's form.
inline constexpr const char* kOpenDialogFilter = "PNG - картинка|*.png";
inline constexpr const char* kSaveDialogFilter = "Табличне зображення|*.csv";
// The second file type of the save dialog, after the CSV: the coloured
// workbook.
inline constexpr const char* kWorkbookDialogFilter = "Кольорове табличне зображення|*.xlsx";
// Given to the save dialog as it stands; each front-end takes the extension
// out of it in its own way.
inline constexpr const char* kSaveDialogDefaultExtension = "*.csv";
inline constexpr const char* kNumberingProgress = "Нумерація кольорів...";
inline constexpr const char* kWritingProgress = "Запис таблиці...";
inline constexpr const char* kCancelButton = "Скасувати";
// What a screen reader says of the controls, which show their texts only
// as pictures.
inline constexpr const char* kLoadButtonName = "Загрузити картинку";
inline constexpr const char* kLoadButtonDescription = "Відкриває PNG-файл і показує картинку в квадраті";
inline constexpr const char* kSaveButtonName = "Зберегти у CSV";
inline constexpr const char* kSaveButtonDescription =
    "Нумерує кольори картинки та зберігає таблицю їхніх номерів у CSV-файл";
inline constexpr const char* kPreviewName = "Картинка";
inline constexpr const char* kPreviewDescription = "Завантажена картинка, вписана в квадрат";

// The text of the notice box that the start-up switch asks for.
inline constexpr const char* kVersionNotice = "Skinned controls v15.16";

// The caption of every message box: the program file's name (UTF-8) without
// its folder, cut before the first "." (not the last), with every character
// after the first lower-cased. The folder ends at the platform's separators.
std::string ApplicationTitle(const std::string& programFilePath);

// The error box's rule: a message that does not end in punctuation up to "."
// (0x2E) gets a full stop, so "File not found" reads as a sentence while a
// message ending in ".", "!", ")" or a quote stays as it is. Bytes of UTF-8
// sequences are above 0x2E, like the characters they encode.
std::string WithFullStop(std::string message);

// What the user is told of a failure that escaped a flow, before the full
// stop: its own message, or the system's words when memory ran out, which
// the runtime would otherwise name by its class.
std::string FailureMessage(const std::exception& failure);

} // namespace pix
