#pragma once
// The command numbers of the menus, the toolbar and the popups. Actions carry them as
// their data, so a command can be found by number.
enum CommandId : int {
  ID_TSJ_AC = 32771,
  ID_POLIGON_ESLESTIR = 32772,
  ID_POLIGON_EXCEL = 32773,
  ID_DETAY_EXCEL = 32774,
  ID_AYARLAR = 32775,
  ID_TUM_NOKTALARI_SEC = 32778,
  ID_SECIMI_BIRAK = 32779,
  ID_DOSYA_KALDIR = 32780,
  ID_KONTROL_OLCUTLERI = 32785,
  ID_TESLIM_KLASORU = 32786,
  ID_RESIM_KAYDET = 32787,
  ID_EDIT_COPY = 57634,
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,
};
