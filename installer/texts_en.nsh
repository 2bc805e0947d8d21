; The English installer's language and words (installer/q14.nsi).
; The Russian ones are in texts_ru.nsh.
!insertmacro MUI_LANGUAGE "English"
LangString Q14_TEXT_PRODUCT ${LANG_ENGLISH} "q14 navigation units"
LangString Q14_TEXT_FOLDER ${LANG_ENGLISH} "Choose the simulator's folder: the one that holds the simulator's program and its Gauges folder. The modules go into Gauges, the documents into q14_docs. Your route file Gauges\q14_cfg\q14_ppm.cfg is kept; the sample route goes in as q14_ppm_sample.cfg."
LangString Q14_TEXT_NO_GAUGES ${LANG_ENGLISH} "This folder has no Gauges folder, so it is probably not the simulator's folder.$\r$\n$\r$\nInstall here all the same?"
