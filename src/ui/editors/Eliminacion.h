#pragma once
// The main window's delete commands: the selected topic (its items stay, under
// "Sin categoría") and the selected item, each after a question.
void cmdEliminarTema_Click();
void cmdEliminarItem_Click();
