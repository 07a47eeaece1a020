# bash completion for vexlar                               -*- shell-script -*-
#
# Completes the options, the mode words, .kolvo files (any letter case) and
# the folders on the way to them, a folder after --dyno, and the version
# controls after --backup=. Uses bash alone, not the helpers of the
# bash-completion package, so it also works when sourced by hand.

# The options in the order `vexlar --help` lists them; a test compares the
# two lists.
_vexlar_options='-b --backup --check --dyno --each --merge --suffix --watch -h --help -V --version --'
_vexlar_modes='intro win loose'
_vexlar_backup_controls='none off numbered t existing nil simple never'

# _vexlar COMMAND WORD PREVIOUS: sets COMPREPLY for COMP_WORDS[COMP_CWORD],
# of which WORD is the part before the cursor.
_vexlar() {
  local cur=${2-${COMP_WORDS[COMP_CWORD]}}
  local word=${COMP_WORDS[COMP_CWORD]}
  local before=
  ((COMP_CWORD > 0)) && before=${COMP_WORDS[COMP_CWORD - 1]}
  COMPREPLY=()

  # "--dyno=DIR": bash splits the word at '=' (COMP_WORDBREAKS) into
  # "--dyno" "=" "DIR"; with '=' left out of COMP_WORDBREAKS it stays one
  # word, and each reply must repeat the "--dyno=".
  local option= prefix=
  if [[ $word == = ]]; then
    option=$before
    cur=
  elif [[ $before == = ]] && ((COMP_CWORD > 1)); then
    option=${COMP_WORDS[COMP_CWORD - 2]}
  elif [[ $cur == --*=* ]]; then
    option=${cur%%=*}
    prefix=$option=
    cur=${cur#*=}
  elif [[ $before == --dyno ]]; then
    option=--dyno
  fi
  local IFS=$'\n'
  case $option in
    --backup)
      COMPREPLY=($(compgen -P "$prefix" -W "${_vexlar_backup_controls// /$'\n'}" -- "$cur"))
      return 0
      ;;
    --dyno)
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -P "$prefix" -d -- "$cur"))
      return 0
      ;;
  esac

  # What the words before this one settled: the end of the options, a mode.
  local i options=1 modes=1
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i],,} in
      --) ((options)) && options=0 ;;
      --dyno | --suffix) ((options)) && ((i++)) ;;
      intro | win | loose | lose) modes=0 ;;
    esac
  done

  if ((options)) && [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "${_vexlar_options// /$'\n'}" -- "$cur"))
    return 0
  fi
  compopt -o filenames 2>/dev/null
  ((modes)) && COMPREPLY=($(compgen -W "${_vexlar_modes// /$'\n'}" -- "$cur"))
  COMPREPLY+=($(compgen -d -- "$cur"))
  local file
  for file in $(compgen -f -X '!*.[Kk][Oo][Ll][Vv][Oo]' -- "$cur"); do
    [[ -d $file ]] || COMPREPLY+=("$file")
  done
  return 0
}
complete -F _vexlar vexlar
