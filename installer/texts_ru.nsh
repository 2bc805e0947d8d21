; The Russian installer's language and words (installer/q14.nsi).
; The English ones are in texts_en.nsh.
!insertmacro MUI_LANGUAGE "Russian"
LangString Q14_TEXT_PRODUCT ${LANG_RUSSIAN} "Навигационные блоки q14"
LangString Q14_TEXT_FOLDER ${LANG_RUSSIAN} "Выберите папку симулятора: ту, где лежат программа симулятора и папка Gauges. Модули будут установлены в Gauges, документы в q14_docs. Ваш файл маршрутов Gauges\q14_cfg\q14_ppm.cfg сохраняется; образец маршрута устанавливается как q14_ppm_sample.cfg."
LangString Q14_TEXT_NO_GAUGES ${LANG_RUSSIAN} "В этой папке нет папки Gauges, так что это, вероятно, не папка симулятора.$\r$\n$\r$\nВсё равно установить сюда?"
