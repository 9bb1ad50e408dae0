#pragma once
// The fills of the main window's tree and lists and the completion of the search box.

// Fills the topic tree from TEMAS and shows its first topic.
void LlenaArbolTemas();
// Refills the index of every item (lvwItems) from ITEMS.
void LlenaListaItems();
// Rebuilds the first-letter index, selects the first row and puts its text in the search box.
void CreaIndiceItems();
// Completes the search box text to the first item that begins with it and shows that item.
void BuscaItem();
// Refills lvwListaTema with the items whose topic is exactly the heading lblNotas.
void LlenaListaTema();
