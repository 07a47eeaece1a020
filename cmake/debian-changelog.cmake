# vexlar_debian_changelog(<markdown> <output> <maintainer>): writes the
# Debian changelog of the .deb from CHANGELOG.md, one entry per released
# version (a heading "## [X.Y.Z] - YYYY-MM-DD"; "Unreleased" is left out),
# newest first, as Debian's tools read it:
#
#   vexlar (1.0.10) unstable; urgency=medium
#
#     * Added:
#       - `--check`: lists what a conversion would leave out or change, one
#         ...
#
#    -- the vexlar authors <...>  Mon, 07 Dec 2026 00:00:00 +0000
#
# The "### Added" headings become "* Added:", each "- " item a "- " item
# below it, its text wrapped anew to lines of at most 80 characters (Debian's
# limit; the Markdown is wrapped narrower less its indentation).

# The day of the week of a date, "Mon" to "Sun" (Zeller's congruence).
function(vexlar_weekday year month day out)
  if(month LESS 3)
    math(EXPR month "${month} + 12")
    math(EXPR year "${year} - 1")
  endif()
  math(EXPR k "${year} % 100")
  math(EXPR j "${year} / 100")
  math(EXPR h "(${day} + (13 * (${month} + 1)) / 5 + ${k} + ${k} / 4 + ${j} / 4 + 5 * ${j}) % 7")
  # h: 0 is Saturday.
  set(names Sat Sun Mon Tue Wed Thu Fri)
  list(GET names ${h} name)
  set(${out} ${name} PARENT_SCOPE)
endfunction()

# Appends to `entry` in the caller the item text `item`, wrapped to lines
# of at most 80 characters: "    - " before the first, "      " before the
# others. A word longer than a line stands on a line of its own.
macro(vexlar_flush_item)
  if(NOT item STREQUAL "")
    string(REPLACE " " ";" words "${item}")
    set(wrapped "    -")
    set(width 5)
    foreach(word IN LISTS words)
      string(LENGTH "${word}" length)
      math(EXPR after "${width} + 1 + ${length}")
      if(after GREATER 80 AND width GREATER 6)
        string(APPEND wrapped "\n      ${word}")
        math(EXPR width "6 + ${length}")
      else()
        string(APPEND wrapped " ${word}")
        set(width ${after})
      endif()
    endforeach()
    string(APPEND entry "${wrapped}\n")
    set(item "")
  endif()
endmacro()

function(vexlar_debian_changelog markdown output maintainer)
  file(READ ${markdown} text)
  # A CMake list cannot hold ';' or an unmatched bracket: while the lines
  # are a list, each stands in as a control character of its own.
  string(ASCII 1 semicolon)
  string(ASCII 2 open)
  string(ASCII 3 close)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "[" "${open}" text "${text}")
  string(REPLACE "]" "${close}" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(result "")
  set(entry "")      # the entry being written, without its trailer
  set(trailer "")
  set(in_release OFF)
  set(item "")       # the text of the item being read, on one line
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^  +[^ ]")
      vexlar_flush_item()
    endif()
    if(line MATCHES "^## ${open}([0-9]+\\.[0-9]+\\.[0-9]+)${close} - ([0-9]+)-([0-9]+)-([0-9]+)")
      if(in_release)
        string(APPEND result "${entry}\n${trailer}\n")
      endif()
      set(version ${CMAKE_MATCH_1})
      set(year ${CMAKE_MATCH_2})
      math(EXPR month "${CMAKE_MATCH_3}")
      math(EXPR day "${CMAKE_MATCH_4}")
      vexlar_weekday(${year} ${month} ${day} weekday)
      math(EXPR month_index "${month} - 1")
      list(GET months ${month_index} month_name)
      set(entry "vexlar (${version}) unstable${semicolon} urgency=medium\n")
      set(trailer " -- ${maintainer}  ${weekday}, ${CMAKE_MATCH_4} ${month_name} ${year} 00:00:00 +0000\n")
      set(in_release ON)
    elseif(line MATCHES "^## ")
      if(in_release)
        string(APPEND result "${entry}\n${trailer}\n")
      endif()
      set(in_release OFF)
    elseif(in_release AND line MATCHES "^### (.+)$")
      string(APPEND entry "\n  * ${CMAKE_MATCH_1}:\n")
    elseif(in_release AND line MATCHES "^- (.+)$")
      set(item "${CMAKE_MATCH_1}")
    elseif(in_release AND NOT item STREQUAL "" AND line MATCHES "^  +(.+)$")
      string(APPEND item " ${CMAKE_MATCH_1}")
    endif()
  endforeach()
  vexlar_flush_item()
  if(in_release)
    string(APPEND result "${entry}\n${trailer}\n")
  endif()
  string(REGEX REPLACE "\n\n$" "\n" result "${result}")
  string(REPLACE "${semicolon}" ";" result "${result}")
  string(REPLACE "${open}" "[" result "${result}")
  string(REPLACE "${close}" "]" result "${result}")
  file(WRITE ${output} "${result}")
endfunction()
