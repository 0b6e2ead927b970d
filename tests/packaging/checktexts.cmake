# The translators' source file that lupdate writes on each build lists the
# program's texts: a few known ones from each of the program's folders, each
# under its class.
if(NOT EXISTS "${TS}")
  message(FATAL_ERROR "no translation source file at ${TS}")
endif()
file(READ "${TS}" ts)
set(expected
  "kestrel::CSubTreeView|incomplete"
  "kestrel::CGridModel|Line %1"
  "kestrel::CContItemDataSource|Unit Price"
  "kestrel::CSubItemDataSource|Use?"
  "kestrel::CFindBar|Find in"
  "kestrel::CFindBar|Everywhere"
  "kestrel::CSubErrors|Tollgate Error List"
  "kestrel::CExchangeCommands|Export"
  "kestrel::CDV_SubItem|Subcontract this item to this vendor"
  "kestrel::CDV_Contract|Contract ID:"
  "kestrel::CMainFrame|Contract Total:")
set(missing "")
# Each entry is CONTEXT|TEXT, the text as the XML file writes it.
foreach(entry IN LISTS expected)
  string(FIND "${entry}" "|" bar)
  string(SUBSTRING "${entry}" 0 ${bar} context)
  math(EXPR from "${bar} + 1")
  string(SUBSTRING "${entry}" ${from} -1 text)
  string(FIND "${ts}" "<name>${context}</name>" at)
  if(at LESS 0)
    list(APPEND missing "${context}")
    continue()
  endif()
  # The text within its context's block.
  string(SUBSTRING "${ts}" ${at} -1 rest)
  string(FIND "${rest}" "</context>" end)
  string(SUBSTRING "${rest}" 0 ${end} block)
  string(FIND "${block}" "<source>${text}</source>" found)
  if(found LESS 0)
    list(APPEND missing "${entry}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "texts missing from ${TS}: ${missing}")
endif()
