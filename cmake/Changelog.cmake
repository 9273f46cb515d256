# Reads CHANGELOG.md and writes what the package needs from it: the changelog in Debian's own
# format (dpkg and lintian parse /usr/share/doc/<package>/changelog.gz of a native package) and
# the release list of the AppStream metadata.
#
# CHANGELOG.md's shape: a "## <version> (<yyyy-mm-dd>)" heading per release, newest first; under
# it "- " items whose further lines are indented by two spaces, and plain lines, each of which
# becomes an item too. Backquotes are dropped. Lines of at most 76 characters keep the Debian
# changelog within its 80 columns.

# Day of the week of a date, 0 for Sunday (Sakamoto's method).
function(_tempik_weekday year month day out)
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR index "${month} - 1")
  list(GET offsets ${index} offset)
  if(month LESS 3)
    math(EXPR year "${year} - 1")
  endif()
  math(EXPR weekday "(${year} + ${year} / 4 - ${year} / 100 + ${year} / 400 + ${offset} + ${day}) % 7")
  set(${out} ${weekday} PARENT_SCOPE)
endfunction()

# "Mon, 07 Dec 2026 00:00:00 +0000" for "2026-12-07".
function(_tempik_rfc2822_date date out)
  if(NOT date MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "CHANGELOG.md: '${date}' is not a yyyy-mm-dd date")
  endif()
  set(year ${CMAKE_MATCH_1})
  set(month_text ${CMAKE_MATCH_2})
  set(day_text ${CMAKE_MATCH_3})
  string(REGEX REPLACE "^0" "" month "${month_text}")
  string(REGEX REPLACE "^0" "" day "${day_text}")
  _tempik_weekday(${year} ${month} ${day} weekday)
  set(days Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET days ${weekday} day_name)
  math(EXPR month_index "${month} - 1")
  list(GET months ${month_index} month_name)
  set(${out} "${day_name}, ${day_text} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

# tempik_read_changelog(<CHANGELOG.md> <package> <maintainer> <debian changelog to write>
#                       <variable for the AppStream releases>)
# Fails when the newest release is not the project's version, so a version bump brings its entry.
function(tempik_read_changelog markdown package maintainer debian_out releases_var)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${markdown})
  file(READ ${markdown} text)
  # One list element per line: semicolons and brackets in the text must not split or join lines.
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "[" "<open>" text "${text}")
  string(REPLACE "]" "<close>" text "${text}")
  string(REPLACE "`" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")

  set(debian "")
  set(releases "")
  set(entry "")
  set(footer "")
  set(newest "")
  foreach(line IN LISTS lines)
    string(REPLACE "<semicolon>" ";" line "${line}")
    string(REPLACE "<open>" "[" line "${line}")
    string(REPLACE "<close>" "]" line "${line}")
    if(line MATCHES "^## ([^ ]+) \\(([^)]+)\\)$")
      if(NOT newest STREQUAL "")
        string(APPEND debian "${entry}${footer}\n")  # a blank line between entries
      endif()
      set(version ${CMAKE_MATCH_1})
      set(date ${CMAKE_MATCH_2})
      if(newest STREQUAL "")
        set(newest ${version})
      endif()
      _tempik_rfc2822_date(${date} stamp)
      set(entry "${package} (${version}) unstable; urgency=medium\n\n")
      set(footer "\n -- ${maintainer}  ${stamp}\n")
      string(APPEND releases "    <release version=\"${version}\" date=\"${date}\"/>\n")
    elseif(line MATCHES "^#" OR line STREQUAL "" OR newest STREQUAL "")
      # The title, blank lines and anything before the first release.
    elseif(line MATCHES "^- (.*)$")
      string(APPEND entry "  * ${CMAKE_MATCH_1}\n")
    elseif(line MATCHES "^  (.*)$")
      string(APPEND entry "    ${CMAKE_MATCH_1}\n")
    else()
      string(APPEND entry "  * ${line}\n")
    endif()
  endforeach()
  string(APPEND debian "${entry}${footer}")

  if(NOT newest STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "CHANGELOG.md: the newest release is '${newest}', the project's version "
                        "is ${PROJECT_VERSION}; add a '## ${PROJECT_VERSION} (yyyy-mm-dd)' entry")
  endif()
  file(WRITE ${debian_out} "${debian}")
  set(${releases_var} "${releases}" PARENT_SCOPE)
endfunction()
