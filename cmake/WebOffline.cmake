# Writes the page's service worker (cmake -P): the list of the page's files, and a version name
# made from their contents, so that any change to any of them makes a new version.
#   -DPAGE_DIR=... -DFILES=a,b,... -DTEMPLATE=service-worker.js.in -DOUTPUT=...
set(hashes "")
set(quoted "'./'")
string(REPLACE "," ";" FILES "${FILES}")
foreach(file IN LISTS FILES)
  file(SHA256 ${PAGE_DIR}/${file} hash)
  string(APPEND hashes "${hash} ${file}\n")
  string(APPEND quoted ", '${file}'")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 THARVOK_PAGE_VERSION)
set(THARVOK_PAGE_FILES ${quoted})
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
